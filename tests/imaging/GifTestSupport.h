// Building GIF files byte by byte for the GIF tests, and running the peer
// tools (ImageMagick, giflib) on them.
#pragma once

#include "platform/base/Types.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::test {

struct Rgb {
    BYTE r, g, b;
    bool operator==(const Rgb&) const = default;
};

// LZW data payload (no sub-block framing) for a list of codes with their
// widths, packed least-significant bit first.
std::vector<BYTE> PackCodes(const std::vector<std::pair<int, int>>& codes);
// The payload cut into data sub-blocks of at most 255 bytes plus the
// terminator.
std::vector<BYTE> SubBlocks(const std::vector<BYTE>& payload, size_t blockLength = 255);
// LZW-compressed indexes (picture order) as sub-blocks with terminator, from
// our encoder.
std::vector<BYTE> CompressIndexes(const std::vector<BYTE>& indexes, int minCodeSize, int method = 0);

class GifBuilder {
public:
    // A header; colours empty means no global table (the size field then
    // still says tableBits).
    GifBuilder& Header(int width, int height, const std::vector<Rgb>& colors, int tableBits = 0);
    GifBuilder& Control(int flags, int delay, int transIndex);
    GifBuilder& Comment(const std::string& text);
    GifBuilder& Loop(int count);
    // A frame whose indexes are given in picture order; interlaced frames are
    // reordered here.
    GifBuilder& Frame(int left, int top, int width, int height, const std::vector<BYTE>& indexes, int minCodeSize,
                      const std::vector<Rgb>& local = {}, bool interlaced = false);
    // A frame with given data bytes after the code size (sub-blocks included).
    GifBuilder& RawFrame(int left, int top, int width, int height, int minCodeSize, const std::vector<BYTE>& data,
                         BYTE flags = 0, const std::vector<Rgb>& local = {});
    GifBuilder& Byte(BYTE b);
    GifBuilder& Trailer() { return Byte(';'); }

    const std::vector<BYTE>& Bytes() const { return m_bytes; }
    std::string String() const { return std::string(m_bytes.begin(), m_bytes.end()); }

private:
    void Word(int v);
    void Table(const std::vector<Rgb>& colors, int bits);
    std::vector<BYTE> m_bytes;
};

// Bits of a colour table of n colours (2^bits >= n, at least 1).
int TableBits(size_t n);

// Picture rows in interlaced order for a height.
std::vector<int> InterlacedRows(int height);

// Runs a shell command; its exit status (-1 when it could not run) and its
// standard output.
int RunShell(const std::string& command, std::string* output = nullptr);
bool HaveTool(const std::string& name);
// Frame 0 of a picture file decoded by ImageMagick as RGBA bytes.
bool MagickRgba(const std::filesystem::path& file, int& width, int& height, std::vector<BYTE>& rgba);

} // namespace tavrin::test

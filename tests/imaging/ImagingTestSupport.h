// Helpers of the imaging tests: an in-memory stream, PNM files, the libjpeg
// command-line tools and JPEG byte surgery.
#pragma once

#include "imaging/ImageObj.h"
#include "imaging/ImageStream.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::test {

// A CImageStream over a byte string; writes can be made to fail.
class MemoryStream : public CImageStream {
public:
    explicit MemoryStream(std::string bytes = {}) : m_bytes(std::move(bytes)) {}
    bool Close() override { return true; }
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(LONG offset, int origin) override;
    LONG Tell() override { return static_cast<LONG>(m_pos); }
    LONG Size() override { return static_cast<LONG>(m_bytes.size()); }
    bool Flush() override { return true; }
    bool Eof() override { return m_pos >= m_bytes.size(); }
    LONG Error() override { return 0; }
    LONG GetC() override { return m_pos < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_pos++]) : -1; }

    const std::string& Bytes() const { return m_bytes; }
    void FailWrites() { m_failWrites = true; }

private:
    std::string m_bytes;
    size_t m_pos = 0;
    bool m_failWrites = false;
};

struct Pnm {
    int width = 0;
    int height = 0;
    int channels = 0; // 1 grey, 3 RGB
    std::string pixels; // top-down, interleaved
};

// A deterministic RGB picture with smooth areas, edges and noise.
Pnm TestPicture(int width, int height, unsigned seed = 1);
std::string EncodePnm(const Pnm& pnm);
bool ParsePnm(const std::string& bytes, Pnm& out);

// Runs a shell command; true when it exits with 0.
bool RunCommand(const std::string& command);
int RunStatus(const std::string& command);
std::string Quote(const std::filesystem::path& p);
// cjpeg of a PNM with extra options into a JPEG file's bytes (empty on failure).
std::string Cjpeg(const Pnm& pnm, const std::string& options, const std::filesystem::path& workDir);
// djpeg -pnm of JPEG bytes.
bool Djpeg(const std::string& jpeg, const std::filesystem::path& workDir, Pnm& out);
// ImageMagick's identify -format of a file.
std::string Identify(const std::filesystem::path& file, const std::string& format);

// The image's pixels top-down, as djpeg writes them (RGB or grey).
Pnm ImagePixels(const CImageObj& image);

// JPEG surgery: inserts a segment (marker and content) right after SOI.
std::string InsertSegment(const std::string& jpeg, int marker, const std::string& content);
// Sets the JFIF density fields of a file that starts with a JFIF APP0.
std::string SetJfifDensity(std::string jpeg, int unit, int x, int y);
// Overwrites the height and width of the first SOF0-2 frame header.
std::string SetFrameSize(std::string jpeg, int width, int height);

// Builds the content of an EXIF APP1 segment: IFD0 and an EXIF sub-directory
// (linked from IFD0 when it has entries), values in the chosen byte order.
class ExifBuilder {
public:
    explicit ExifBuilder(bool motorola) : m_motorola(motorola) {}
    void Short(int dir, WORD tag, WORD value);
    void Long(int dir, WORD tag, DWORD value);
    void Rational(int dir, WORD tag, LONG numerator, LONG denominator);
    void Ascii(int dir, WORD tag, const std::string& text);
    void Raw(int dir, WORD tag, WORD format, DWORD components, const std::string& bytes);
    std::string Build() const;
    // Offset inside the content of IFD0's entry count, entries and next link.
    static constexpr size_t kIfd0 = 14;
    std::string U16(WORD v) const;
    std::string U32(DWORD v) const;

private:
    struct Entry {
        WORD tag, format;
        DWORD components;
        std::string bytes;
    };
    bool m_motorola;
    std::vector<Entry> m_dirs[2];
};

// SOI, the given segments, a small SOF0 and an SOS header.
std::string JpegHead(const std::vector<std::pair<int, std::string>>& segments, int width = 640, int height = 480);

} // namespace tavrin::test

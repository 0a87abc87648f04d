#include "tests/imaging/GifTestSupport.h"

#include "imaging/GifLzw.h"

#include <cstdio>
#include <sys/wait.h>

namespace tavrin::test {

std::vector<BYTE> PackCodes(const std::vector<std::pair<int, int>>& codes)
{
    std::vector<BYTE> out;
    DWORD accum = 0;
    int bits = 0;
    for (auto [code, width] : codes) {
        accum |= static_cast<DWORD>(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(static_cast<BYTE>(accum & 0xFF));
            accum >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out.push_back(static_cast<BYTE>(accum & 0xFF));
    return out;
}

std::vector<BYTE> SubBlocks(const std::vector<BYTE>& payload, size_t blockLength)
{
    std::vector<BYTE> out;
    for (size_t at = 0; at < payload.size(); at += blockLength) {
        size_t n = std::min(blockLength, payload.size() - at);
        out.push_back(static_cast<BYTE>(n));
        out.insert(out.end(), payload.begin() + static_cast<long>(at), payload.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
    return out;
}

namespace {

class VectorSink : public GifByteSink {
public:
    std::vector<BYTE> bytes;
    bool WriteBytes(const BYTE* data, size_t n) override
    {
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
};

} // namespace

std::vector<BYTE> CompressIndexes(const std::vector<BYTE>& indexes, int minCodeSize, int method)
{
    VectorSink sink;
    GifLzwEncoder encoder(sink, minCodeSize + 1, method);
    encoder.Add(indexes.data(), indexes.size());
    encoder.Finish();
    sink.bytes.push_back(0);
    return sink.bytes;
}

int TableBits(size_t n)
{
    int bits = 1;
    while ((size_t{1} << bits) < n)
        ++bits;
    return bits;
}

std::vector<int> InterlacedRows(int height)
{
    std::vector<int> rows;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int r = start[pass]; r < height; r += step[pass])
            rows.push_back(r);
    return rows;
}

void GifBuilder::Word(int v)
{
    m_bytes.push_back(static_cast<BYTE>(v & 0xFF));
    m_bytes.push_back(static_cast<BYTE>((v >> 8) & 0xFF));
}

void GifBuilder::Table(const std::vector<Rgb>& colors, int bits)
{
    for (int i = 0; i < (1 << bits); ++i) {
        Rgb c = i < static_cast<int>(colors.size()) ? colors[static_cast<size_t>(i)] : Rgb{0, 0, 0};
        m_bytes.insert(m_bytes.end(), {c.r, c.g, c.b});
    }
}

GifBuilder& GifBuilder::Header(int width, int height, const std::vector<Rgb>& colors, int tableBits)
{
    for (char c : std::string("GIF89a"))
        m_bytes.push_back(static_cast<BYTE>(c));
    Word(width);
    Word(height);
    int bits = colors.empty() ? (tableBits > 0 ? tableBits : 1) : TableBits(colors.size());
    BYTE flags = static_cast<BYTE>((colors.empty() ? 0 : 0x80) | ((bits - 1) << 4) | (bits - 1));
    m_bytes.insert(m_bytes.end(), {flags, 0, 0});
    if (!colors.empty())
        Table(colors, bits);
    return *this;
}

GifBuilder& GifBuilder::Control(int flags, int delay, int transIndex)
{
    m_bytes.insert(m_bytes.end(), {0x21, 0xF9, 4, static_cast<BYTE>(flags)});
    Word(delay);
    m_bytes.insert(m_bytes.end(), {static_cast<BYTE>(transIndex), 0});
    return *this;
}

GifBuilder& GifBuilder::Comment(const std::string& text)
{
    m_bytes.insert(m_bytes.end(), {0x21, 0xFE});
    std::vector<BYTE> payload(text.begin(), text.end());
    auto blocks = SubBlocks(payload);
    m_bytes.insert(m_bytes.end(), blocks.begin(), blocks.end());
    return *this;
}

GifBuilder& GifBuilder::Loop(int count)
{
    m_bytes.insert(m_bytes.end(), {0x21, 0xFF, 11});
    for (char c : std::string("NETSCAPE2.0"))
        m_bytes.push_back(static_cast<BYTE>(c));
    m_bytes.insert(m_bytes.end(), {3, 1});
    Word(count);
    m_bytes.push_back(0);
    return *this;
}

GifBuilder& GifBuilder::RawFrame(int left, int top, int width, int height, int minCodeSize,
                                 const std::vector<BYTE>& data, BYTE flags, const std::vector<Rgb>& local)
{
    m_bytes.push_back(',');
    Word(left);
    Word(top);
    Word(width);
    Word(height);
    int bits = local.empty() ? 0 : TableBits(local.size());
    if (!local.empty())
        flags = static_cast<BYTE>(flags | 0x80 | (bits - 1));
    m_bytes.push_back(flags);
    if (!local.empty())
        Table(local, bits);
    m_bytes.push_back(static_cast<BYTE>(minCodeSize));
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    return *this;
}

GifBuilder& GifBuilder::Frame(int left, int top, int width, int height, const std::vector<BYTE>& indexes,
                              int minCodeSize, const std::vector<Rgb>& local, bool interlaced)
{
    std::vector<BYTE> ordered = indexes;
    if (interlaced) {
        ordered.clear();
        for (int r : InterlacedRows(height))
            ordered.insert(ordered.end(), indexes.begin() + r * width, indexes.begin() + (r + 1) * width);
    }
    return RawFrame(left, top, width, height, minCodeSize, CompressIndexes(ordered, minCodeSize),
                    interlaced ? 0x40 : 0, local);
}

GifBuilder& GifBuilder::Byte(BYTE b)
{
    m_bytes.push_back(b);
    return *this;
}

int RunShell(const std::string& command, std::string* output)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        if (output)
            output->append(buffer, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveTool(const std::string& name)
{
    return RunShell("command -v " + name + " >/dev/null 2>&1") == 0;
}

bool MagickRgba(const std::filesystem::path& file, int& width, int& height, std::vector<BYTE>& rgba)
{
    std::string size;
    if (RunShell("identify -format '%w %h\\n' '" + file.string() + "[0]' 2>/dev/null", &size) != 0)
        return false;
    if (std::sscanf(size.c_str(), "%d %d", &width, &height) != 2)
        return false;
    std::string pixels;
    // -coalesce gives the composed frame on the logical screen.
    if (RunShell("convert '" + file.string() + "' -coalesce -delete 1--1 -depth 8 rgba:- 2>/dev/null", &pixels) != 0)
        return false;
    if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
        return false;
    rgba.assign(pixels.begin(), pixels.end());
    return true;
}

} // namespace tavrin::test

#include "tests/imaging/ImagingTestSupport.h"

#include <cstdlib>
#include <sys/wait.h>
#include <cstring>
#include <fstream>
#include <sstream>

namespace tavrin::test {

size_t MemoryStream::Read(void* buffer, size_t size, size_t count)
{
    if (size == 0)
        return 0;
    size_t items = std::min(count, (m_bytes.size() - std::min(m_pos, m_bytes.size())) / size);
    std::memcpy(buffer, m_bytes.data() + m_pos, items * size);
    m_pos += items * size;
    return items;
}

size_t MemoryStream::Write(const void* buffer, size_t size, size_t count)
{
    if (m_failWrites)
        return 0;
    size_t n = size * count;
    if (m_pos + n > m_bytes.size())
        m_bytes.resize(m_pos + n);
    std::memcpy(&m_bytes[m_pos], buffer, n);
    m_pos += n;
    return count;
}

bool MemoryStream::Seek(LONG offset, int origin)
{
    long base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? static_cast<long>(m_pos) : static_cast<long>(m_bytes.size());
    long pos = base + offset;
    if (pos < 0)
        return false;
    m_pos = static_cast<size_t>(pos);
    return true;
}

Pnm TestPicture(int width, int height, unsigned seed)
{
    Pnm p;
    p.width = width;
    p.height = height;
    p.channels = 3;
    p.pixels.resize(static_cast<size_t>(width) * height * 3);
    unsigned state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            int noise = static_cast<int>((state >> 16) & 15);
            size_t i = (static_cast<size_t>(y) * width + x) * 3;
            bool edge = ((x / 8) + (y / 8)) % 5 == 0;
            p.pixels[i] = static_cast<char>((x * 255 / std::max(1, width - 1) + noise) & 255);
            p.pixels[i + 1] = static_cast<char>(edge ? 250 : (y * 255 / std::max(1, height - 1)) & 255);
            p.pixels[i + 2] = static_cast<char>(((x ^ y) * 3 + noise) & 255);
        }
    }
    return p;
}

std::string EncodePnm(const Pnm& pnm)
{
    std::ostringstream out;
    out << (pnm.channels == 1 ? "P5" : "P6") << "\n" << pnm.width << " " << pnm.height << "\n255\n";
    out << pnm.pixels;
    return out.str();
}

bool ParsePnm(const std::string& bytes, Pnm& out)
{
    std::istringstream in(bytes);
    std::string magic;
    int maxval = 0;
    in >> magic >> out.width >> out.height >> maxval;
    if (!in || (magic != "P5" && magic != "P6") || maxval != 255)
        return false;
    in.get();
    out.channels = magic == "P5" ? 1 : 3;
    size_t n = static_cast<size_t>(out.width) * out.height * out.channels;
    out.pixels.resize(n);
    in.read(out.pixels.data(), static_cast<std::streamsize>(n));
    return static_cast<size_t>(in.gcount()) == n;
}

int RunStatus(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool RunCommand(const std::string& command)
{
    return RunStatus(command) == 0;
}

std::string Quote(const std::filesystem::path& p)
{
    return "'" + p.string() + "'";
}

static std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

static void WriteAll(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::string Cjpeg(const Pnm& pnm, const std::string& options, const std::filesystem::path& workDir)
{
    auto in = workDir / "cjpeg-in.pnm";
    auto out = workDir / "cjpeg-out.jpg";
    WriteAll(in, EncodePnm(pnm));
    if (!RunCommand("cjpeg " + options + " -outfile " + Quote(out) + " " + Quote(in)))
        return {};
    return ReadAll(out);
}

bool Djpeg(const std::string& jpeg, const std::filesystem::path& workDir, Pnm& out)
{
    auto in = workDir / "djpeg-in.jpg";
    auto pnm = workDir / "djpeg-out.pnm";
    WriteAll(in, jpeg);
    // Exit status 2: decoded with warnings (a cut file).
    int status = RunStatus("djpeg -pnm -outfile " + Quote(pnm) + " " + Quote(in) + " 2>/dev/null");
    if (status != 0 && status != 2)
        return false;
    return ParsePnm(ReadAll(pnm), out);
}

std::string Identify(const std::filesystem::path& file, const std::string& format)
{
    std::string command = "/usr/bin/identify -format '" + format + "' " + Quote(file) + " 2>/dev/null";
    std::string result;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            result.append(buffer, n);
        pclose(pipe);
    }
    return result;
}

Pnm ImagePixels(const CImageObj& image)
{
    Pnm p;
    p.width = static_cast<int>(image.GetWidth());
    p.height = static_cast<int>(image.GetHeight());
    p.channels = image.GetBpp() == 24 ? 3 : 1;
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x) {
            RGBQUAD c = image.GetPixelColor(x, y);
            if (p.channels == 3) {
                p.pixels += static_cast<char>(c.rgbRed);
                p.pixels += static_cast<char>(c.rgbGreen);
                p.pixels += static_cast<char>(c.rgbBlue);
            } else {
                p.pixels += static_cast<char>(c.rgbBlue);
            }
        }
    }
    return p;
}

std::string InsertSegment(const std::string& jpeg, int marker, const std::string& content)
{
    size_t length = content.size() + 2;
    std::string segment;
    segment += static_cast<char>(0xFF);
    segment += static_cast<char>(marker);
    segment += static_cast<char>((length >> 8) & 255);
    segment += static_cast<char>(length & 255);
    segment += content;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

std::string SetJfifDensity(std::string jpeg, int unit, int x, int y)
{
    // FF D8 FF E0 len(2) "JFIF\0" version(2) unit X(2) Y(2)
    jpeg[13] = static_cast<char>(unit);
    jpeg[14] = static_cast<char>(x >> 8);
    jpeg[15] = static_cast<char>(x & 255);
    jpeg[16] = static_cast<char>(y >> 8);
    jpeg[17] = static_cast<char>(y & 255);
    return jpeg;
}

std::string SetFrameSize(std::string jpeg, int width, int height)
{
    size_t i = 2;
    while (i + 9 < jpeg.size() && static_cast<unsigned char>(jpeg[i]) == 0xFF) {
        unsigned char m = static_cast<unsigned char>(jpeg[i + 1]);
        size_t length = (static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]);
        if (m >= 0xC0 && m <= 0xC2) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 255);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 255);
            break;
        }
        i += 2 + length;
    }
    return jpeg;
}

std::string ExifBuilder::U16(WORD v) const
{
    std::string s(2, '\0');
    s[m_motorola ? 0 : 1] = static_cast<char>(v >> 8);
    s[m_motorola ? 1 : 0] = static_cast<char>(v & 255);
    return s;
}

std::string ExifBuilder::U32(DWORD v) const
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[m_motorola ? 3 - i : i] = static_cast<char>((v >> (8 * i)) & 255);
    return s;
}

void ExifBuilder::Short(int dir, WORD tag, WORD value) { Raw(dir, tag, 3, 1, U16(value)); }
void ExifBuilder::Long(int dir, WORD tag, DWORD value) { Raw(dir, tag, 4, 1, U32(value)); }
void ExifBuilder::Rational(int dir, WORD tag, LONG n, LONG d)
{
    Raw(dir, tag, 5, 1, U32(static_cast<DWORD>(n)) + U32(static_cast<DWORD>(d)));
}
void ExifBuilder::Ascii(int dir, WORD tag, const std::string& text)
{
    Raw(dir, tag, 2, static_cast<DWORD>(text.size()), text);
}
void ExifBuilder::Raw(int dir, WORD tag, WORD format, DWORD components, const std::string& bytes)
{
    m_dirs[dir].push_back(Entry{tag, format, components, bytes});
}

std::string ExifBuilder::Build() const
{
    std::vector<Entry> ifd0 = m_dirs[0];
    const std::vector<Entry>& sub = m_dirs[1];
    size_t ifd0Size = 2 + 12 * (ifd0.size() + (sub.empty() ? 0 : 1)) + 4;
    size_t subOffset = 8 + ifd0Size;
    size_t subSize = sub.empty() ? 0 : 2 + 12 * sub.size() + 4;
    if (!sub.empty())
        ifd0.push_back(Entry{0x8769, 4, 1, U32(static_cast<DWORD>(subOffset))});
    size_t dataOffset = subOffset + subSize;
    std::string data;
    auto directory = [&](const std::vector<Entry>& entries) {
        std::string d = U16(static_cast<WORD>(entries.size()));
        for (const Entry& e : entries) {
            d += U16(e.tag) + U16(e.format) + U32(e.components);
            if (e.bytes.size() > 4) {
                d += U32(static_cast<DWORD>(dataOffset + data.size()));
                data += e.bytes;
            } else {
                d += e.bytes + std::string(4 - e.bytes.size(), '\0');
            }
        }
        return d + U32(0);
    };
    std::string tiff = std::string(m_motorola ? "MM" : "II") + U16(42) + U32(8);
    tiff += directory(ifd0);
    if (!sub.empty())
        tiff += directory(sub);
    tiff += data;
    return std::string("Exif\0\0", 6) + tiff;
}

std::string JpegHead(const std::vector<std::pair<int, std::string>>& segments, int width, int height)
{
    std::string jpeg("\xFF\xD8", 2);
    for (const auto& [marker, content] : segments)
        jpeg = jpeg.substr(0, jpeg.size()) + InsertSegment("\xFF\xD8", marker, content).substr(2);
    std::string sof;
    sof += '\x08';
    sof += static_cast<char>(height >> 8);
    sof += static_cast<char>(height & 255);
    sof += static_cast<char>(width >> 8);
    sof += static_cast<char>(width & 255);
    sof += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    jpeg += InsertSegment("\xFF\xD8", 0xC0, sof).substr(2);
    jpeg += InsertSegment("\xFF\xD8", 0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6)).substr(2);
    jpeg += std::string("\x12\x34\xFF\xD9", 4);
    return jpeg;
}

} // namespace tavrin::test

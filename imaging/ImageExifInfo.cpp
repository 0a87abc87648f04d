#include "imaging/ImageExifInfo.h"

#include "imaging/ImageStream.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum : int {
    M_SOF0 = 0xC0,
    M_SOF15 = 0xCF,
    M_DHT = 0xC4,
    M_JPG = 0xC8,
    M_DAC = 0xCC,
    M_SOI = 0xD8,
    M_EOI = 0xD9,
    M_SOS = 0xDA,
    M_APP0 = 0xE0,
    M_APP1 = 0xE1,
    M_COM = 0xFE,
};

constexpr int kFormatSizes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
constexpr int kMaxDepth = 16;

// A value as the block's float: one that is not a finite float (NaN,
// infinity, beyond float's range, as a hostile file can give) is absent.
float ToFloat(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > 3.4e38)
        return 0.0f;
    return static_cast<float>(v);
}

// Truncation toward zero that stays defined for any double.
int ToInt(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(v);
}

bool IsFrameMarker(int marker)
{
    return marker >= M_SOF0 && marker <= M_SOF15 && marker != M_DHT && marker != M_JPG && marker != M_DAC;
}

// Inches per unit of a TIFF resolution unit; false for unknown units.
bool UnitInches(int unit, float& inches)
{
    switch (unit) {
    case 1:
    case 2: inches = 1.0f; return true;
    case 3: inches = 0.3937007874f; return true;
    case 4: inches = 0.03937007874f; return true;
    case 5: inches = 0.00003937007874f; return true;
    default: return false;
    }
}

// Copies at most maxChars bytes of a counted, maybe unterminated text.
void CopyText(char* dest, size_t maxChars, const BYTE* src, unsigned long long count)
{
    size_t n = 0;
    while (n < maxChars && n < count && src[n])
        ++n;
    std::memcpy(dest, src, n);
    dest[n] = '\0';
}

} // namespace

CImageExifInfo::CImageExifInfo(ImageExifBlock* block)
    : m_block(block), m_exifImageWidth(0), m_motorola(false), m_sectionCount(0),
      m_ownsBlock(false), m_visitedCount(0), m_broken(false)
{
    if (!m_block) {
        m_block = new ImageExifBlock{};
        m_ownsBlock = true;
    }
    m_lastError[0] = '\0';
    std::memset(m_sections, 0, sizeof m_sections);
}

CImageExifInfo::~CImageExifInfo()
{
    for (int i = 0; i < MAX_SECTIONS; ++i)
        std::free(m_sections[i].data);
    if (m_ownsBlock)
        delete m_block;
}

void CImageExifInfo::Error(const char* text)
{
    std::snprintf(m_lastError, sizeof m_lastError, "%s", text);
}

void CImageExifInfo::FreeSection(int index)
{
    std::free(m_sections[index].data);
    m_sections[index] = Section{nullptr, 0, 0};
}

WORD CImageExifInfo::Get16u(const BYTE* p) const
{
    return m_motorola ? static_cast<WORD>((p[0] << 8) | p[1]) : static_cast<WORD>((p[1] << 8) | p[0]);
}

DWORD CImageExifInfo::Get32u(const BYTE* p) const
{
    if (m_motorola)
        return (static_cast<DWORD>(p[0]) << 24) | (static_cast<DWORD>(p[1]) << 16) |
               (static_cast<DWORD>(p[2]) << 8) | p[3];
    return (static_cast<DWORD>(p[3]) << 24) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[1]) << 8) | p[0];
}

double CImageExifInfo::ConvertAnyFormat(const BYTE* p, int format) const
{
    switch (format) {
    case 1: return p[0];
    case 6: return static_cast<signed char>(p[0]);
    case 3: return Get16u(p);
    case 8: return static_cast<short>(Get16u(p));
    case 4: return Get32u(p);
    case 9: return Get32s(p);
    case 5:
    case 10: {
        LONG num = Get32s(p);
        LONG den = Get32s(p + 4);
        return den == 0 ? 0.0 : static_cast<double>(num) / den;
    }
    case 11: {
        DWORD bits = Get32u(p);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    case 12: {
        unsigned long long bits = m_motorola
            ? (static_cast<unsigned long long>(Get32u(p)) << 32) | Get32u(p + 4)
            : (static_cast<unsigned long long>(Get32u(p + 4)) << 32) | Get32u(p);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    default: return 0.0;
    }
}

const CImageExifInfo::Section* CImageExifInfo::FindSection(int marker) const
{
    for (int i = 0; i + 1 < m_sectionCount; ++i)
        if (m_sections[i].type == marker)
            return &m_sections[i];
    return nullptr;
}

void CImageExifInfo::DiscardAllButExif()
{
    int exif = -1, comment = -1;
    for (int i = 0; i < m_sectionCount; ++i) {
        if (m_sections[i].type == M_APP1 && exif < 0)
            exif = i;
        else if (m_sections[i].type == M_COM && comment < 0)
            comment = i;
    }
    Section keep[2];
    int kept = 0;
    if (exif >= 0)
        keep[kept++] = m_sections[exif];
    if (comment >= 0)
        keep[kept++] = m_sections[comment];
    for (int i = 0; i < m_sectionCount; ++i)
        if (i != exif && i != comment)
            std::free(m_sections[i].data);
    std::memset(m_sections, 0, sizeof m_sections);
    for (int i = 0; i < kept; ++i)
        m_sections[i] = keep[i];
    m_sectionCount = kept;
}

bool CImageExifInfo::DecodeExif(CImageStream& stream, int mode)
{
    int a = stream.GetC();
    int b = stream.GetC();
    if (a != 0xFF || b != M_SOI)
        return false;

    bool haveComment = false;
    for (;;) {
        if (m_sectionCount >= MAX_SECTIONS) {
            Error("Too many sections in jpg file");
            return false;
        }
        int marker = 0;
        for (int pad = 0; pad < 7; ++pad) {
            marker = stream.GetC();
            if (marker != 0xFF)
                break;
            if (pad >= 6) {
                Error("too many padding bytes");
                return false;
            }
        }
        int lh = marker < 0 ? -1 : stream.GetC();
        int ll = lh < 0 ? -1 : stream.GetC();
        // A length cut by the end of the file is no length at all.
        DWORD itemLength = ll < 0 ? 0 : (static_cast<DWORD>(lh) << 8) | static_cast<DWORD>(ll);
        if (itemLength < 2) {
            Error("invalid marker");
            return false;
        }
        BYTE* data = static_cast<BYTE*>(std::malloc(itemLength));
        if (!data) {
            Error("Could not allocate memory");
            return false;
        }
        data[0] = static_cast<BYTE>(lh);
        data[1] = static_cast<BYTE>(ll);
        if (stream.Read(data + 2, 1, itemLength - 2) != itemLength - 2) {
            std::free(data);
            Error("Premature end of file?");
            return false;
        }
        int index = m_sectionCount++;
        m_sections[index] = Section{data, marker, itemLength};

        switch (marker) {
        case M_SOS:
            if (mode & READ_IMAGE) {
                // The array has room for this one more only below its end.
                if (m_sectionCount >= MAX_SECTIONS) {
                    Error("Too many sections in jpg file");
                    return false;
                }
                LONG here = stream.Tell();
                LONG end = stream.Size();
                if (here < 0 || end < here) {
                    Error("could not read the rest of the image");
                    return false;
                }
                DWORD size = static_cast<DWORD>(end - here);
                BYTE* rest = static_cast<BYTE*>(std::malloc(size ? size : 1));
                if (!rest) {
                    Error("could not allocate data for entire image");
                    return false;
                }
                if (stream.Read(rest, 1, size) != size) {
                    std::free(rest);
                    Error("could not read the rest of the image");
                    return false;
                }
                m_sections[m_sectionCount++] = Section{rest, IMAGE_DATA_MARKER, size};
            }
            return true;
        case M_EOI:
            Error("No image in jpeg!");
            return false;
        case M_COM:
            if ((mode & READ_EXIF) && !haveComment) {
                haveComment = true;
                ProcessComment(data, itemLength);
            } else {
                FreeSection(index);
                --m_sectionCount;
            }
            break;
        case M_APP0:
            FreeSection(index);
            --m_sectionCount;
            break;
        case M_APP1:
            if ((mode & READ_EXIF) && itemLength >= 6 && std::memcmp(data + 2, "Exif", 4) == 0) {
                m_block->isExif = ProcessExif(data + 2, itemLength) ? 1 : 0;
            } else {
                FreeSection(index);
                --m_sectionCount;
            }
            break;
        default:
            if (IsFrameMarker(marker) && itemLength >= 8) {
                m_block->height = (data[3] << 8) | data[4];
                m_block->width = (data[5] << 8) | data[6];
                m_block->isColor = data[7] == 3 ? 1 : 0;
                m_block->process = marker;
            }
            break;
        }
    }
}

void CImageExifInfo::ProcessComment(const BYTE* data, DWORD size)
{
    DWORD end = size < 1000 ? size : 1000;
    DWORD n = 0;
    for (DWORD a = 2; a < end; ++a) {
        BYTE ch = data[a];
        // The LF that follows may lie just past the part kept.
        if (ch == '\r' && a + 1 < size && data[a + 1] == '\n')
            continue;
        if ((ch >= 0x20 && ch < 0x7F) || ch == '\n' || ch == '\t')
            m_block->comments[n++] = static_cast<char>(ch);
        else
            m_block->comments[n++] = '?';
    }
    m_block->comments[n] = '\0';
}

bool CImageExifInfo::ProcessExif(const BYTE* content, DWORD length)
{
    m_block->comments[0] = '\0';
    m_block->flashUsed = 0;
    m_exifImageWidth = 0;

    // "Exif\0\0", the byte order, 42 and the first directory offset.
    if (length < 2 + 14 || std::memcmp(content, "Exif\0\0", 6) != 0) {
        Error("Incorrect Exif header");
        return false;
    }
    if (std::memcmp(content + 6, "II", 2) == 0)
        m_motorola = false;
    else if (std::memcmp(content + 6, "MM", 2) == 0)
        m_motorola = true;
    else {
        Error("Invalid Exif alignment marker.");
        return false;
    }
    if (Get16u(content + 8) != 0x2A) {
        Error("Invalid Exif start (1)");
        return false;
    }

    const BYTE* tiff = content + 6;
    DWORD tiffLength = length - 8;
    // The TIFF structure lies 2 + 6 bytes into the section's data.
    const DWORD tiffBase = 8;

    m_visitedCount = 0;
    m_broken = false;
    if (!ProcessDirectory(tiff, tiffLength, 8, tiffBase, 0))
        return false;
    DWORD first = Get32u(content + 10);
    if (first > 8) {
        m_visitedCount = 0;
        if (!ProcessDirectory(tiff, tiffLength, first, tiffBase, 0))
            return false;
    }
    if (m_broken)
        return false;

    if (m_block->focalPlaneXRes != 0)
        m_block->ccdWidth = ToFloat(m_exifImageWidth * m_block->focalPlaneUnits / m_block->focalPlaneXRes);
    return true;
}

bool CImageExifInfo::ProcessDirectory(const BYTE* tiff, DWORD tiffLength, DWORD offset, DWORD tiffBase, int depth)
{
    using u64 = unsigned long long;
    if (depth > kMaxDepth || m_visitedCount >= static_cast<int>(sizeof m_visited / sizeof m_visited[0])) {
        m_broken = true;
        Error("Illegal subdirectory link");
        return false;
    }
    for (int i = 0; i < m_visitedCount; ++i) {
        if (m_visited[i] == offset) {
            m_broken = true;
            Error("Illegal subdirectory link");
            return false;
        }
    }
    m_visited[m_visitedCount++] = offset;

    if (static_cast<u64>(offset) + 2 > tiffLength) {
        Error("Illegally sized directory");
        return false;
    }
    const BYTE* dir = tiff + offset;
    DWORD entries = Get16u(dir);
    if (static_cast<u64>(offset) + 2 + 12ULL * entries > tiffLength) {
        Error("Illegally sized directory");
        return false;
    }

    DWORD thumbOffset = 0, thumbLength = 0;
    for (DWORD de = 0; de < entries; ++de) {
        const BYTE* entry = dir + 2 + 12 * de;
        int tag = Get16u(entry);
        int format = Get16u(entry + 2);
        DWORD components = Get32u(entry + 4);
        if (format < 1 || format > 12) {
            Error("Illegal format code in EXIF dir");
            return false;
        }
        u64 byteCount = static_cast<u64>(components) * kFormatSizes[format];
        const BYTE* value;
        if (byteCount > 4) {
            DWORD valueOffset = Get32u(entry + 8);
            if (static_cast<u64>(valueOffset) + byteCount > tiffLength) {
                Error("Illegal pointer offset value in EXIF.");
                return false;
            }
            value = tiff + valueOffset;
        } else {
            value = entry + 8;
        }
        // A value shorter than one item of its format reads as 0.
        double number = byteCount >= static_cast<u64>(kFormatSizes[format]) && components > 0
            ? ConvertAnyFormat(value, format) : 0.0;
        float unit;

        switch (tag) {
        case 0x010F: CopyText(m_block->cameraMake, 31, value, byteCount); break;
        case 0x0110: CopyText(m_block->cameraModel, 39, value, byteCount); break;
        case 0x9000: CopyText(m_block->version, 4, value, byteCount); break;
        case 0x9003: CopyText(m_block->dateTime, 19, value, byteCount); break;
        case 0x0112: {
            int o = ToInt(number);
            if (o < 1 || o > 8) {
                Error("Undefined rotation value");
                o = 0;
            }
            m_block->orientation = o;
            break;
        }
        case 0x011A: m_block->xResolution = ToFloat(number); break;
        case 0x011B: m_block->yResolution = ToFloat(number); break;
        case 0x0128:
            if (UnitInches(ToInt(number), unit))
                m_block->resolutionUnit = unit;
            break;
        case 0xA210:
            if (UnitInches(ToInt(number), unit))
                m_block->focalPlaneUnits = unit;
            break;
        case 0x0201: thumbOffset = static_cast<DWORD>(ToInt(number)); break;
        case 0x0202: thumbLength = static_cast<DWORD>(ToInt(number)); break;
        case 0x829A: m_block->exposureTime = ToFloat(number); break;
        case 0x829D: m_block->apertureFNumber = ToFloat(number); break;
        case 0x8822: m_block->exposureProgram = ToInt(number); break;
        case 0x8827: {
            long long iso = ToInt(number);
            if (iso < 50)
                iso *= 200;
            m_block->isoEquivalent = static_cast<LONG>(iso < INT_MIN ? INT_MIN : iso);
            break;
        }
        case 0x9102: m_block->compressionLevel = ToInt(number); break;
        case 0x9201:
            if (m_block->exposureTime == 0)
                m_block->exposureTime = ToFloat(1.0 / std::exp(number * std::log(2.0)));
            break;
        case 0x9202:
        case 0x9205:
            if (m_block->apertureFNumber == 0)
                m_block->apertureFNumber = ToFloat(std::exp(number * std::log(2.0) * 0.5));
            break;
        case 0x9203: m_block->brightness = ToFloat(number); break;
        case 0x9204: m_block->exposureBias = ToFloat(number); break;
        case 0x9206: m_block->distance = ToFloat(number); break;
        case 0x9207: m_block->meteringMode = ToInt(number); break;
        case 0x9208: m_block->whiteBalance = ToInt(number); break;
        case 0x9209: m_block->flashUsed = (ToInt(number) & 7) != 0 ? 1 : 0; break;
        case 0x920A: m_block->focalLength = ToFloat(number); break;
        case 0x9286: {
            // Trailing spaces end the text; "ASCII" names the encoding of what follows.
            u64 n = byteCount;
            while (n > 0 && value[n - 1] == ' ')
                --n;
            if (n >= 5 && std::memcmp(value, "ASCII", 5) == 0) {
                for (u64 a = 5; a < 10 && a < n; ++a) {
                    if (value[a] != '\0' && value[a] != ' ') {
                        CopyText(m_block->comments, 199, value + a, n - a);
                        break;
                    }
                }
            } else {
                CopyText(m_block->comments, 199, value, n);
            }
            break;
        }
        case 0xA002:
        case 0xA003: {
            int w = ToInt(number);
            if (w > 0 && static_cast<DWORD>(w) > m_exifImageWidth)
                m_exifImageWidth = static_cast<DWORD>(w);
            break;
        }
        case 0xA20E: m_block->focalPlaneXRes = ToFloat(number); break;
        case 0xA20F: m_block->focalPlaneYRes = ToFloat(number); break;
        case 0x8769:
        case 0xA005: {
            DWORD sub = Get32u(value);
            if (sub > 8) {
                if (sub >= tiffLength) {
                    Error("Illegal subdirectory link");
                    return false;
                }
                ProcessDirectory(tiff, tiffLength, sub, tiffBase, depth + 1);
                if (m_broken)
                    return false;
            }
            break;
        }
        default:
            break;
        }
    }

    u64 linkAt = static_cast<u64>(offset) + 2 + 12ULL * entries;
    if (linkAt + 4 <= tiffLength) {
        DWORD next = Get32u(tiff + linkAt);
        if (next) {
            if (next >= tiffLength) {
                Error("Illegal subdirectory link");
                return false;
            }
            if (!ProcessDirectory(tiff, tiffLength, next, tiffBase, depth + 1))
                return false;
        }
    }

    if (thumbOffset && thumbLength && static_cast<u64>(thumbOffset) + thumbLength <= tiffLength) {
        m_block->thumbnailOffset = tiffBase + thumbOffset;
        m_block->thumbnailSize = thumbLength;
    }
    return true;
}

bool CImageExifInfo::EncodeExif(CImageStream& stream)
{
    if (!FindSection(M_SOS)) {
        Error("Can't write exif : didn't read all");
        return false;
    }
    static const BYTE kSoi[2] = {0xFF, M_SOI};
    static const BYTE kJfif[18] = {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01,
                                   0x01, 0x01, 0x01, 0x2C, 0x01, 0x2C, 0x00, 0x00};
    bool ok = stream.Write(kSoi, 1, 2) == 2;
    if (m_sections[0].type != M_APP1 && m_sections[0].type != M_APP0)
        ok = ok && stream.Write(kJfif, 1, sizeof kJfif) == sizeof kJfif;
    for (int i = 0; ok && i + 1 < m_sectionCount; ++i) {
        BYTE head[2] = {0xFF, static_cast<BYTE>(m_sections[i].type)};
        ok = stream.Write(head, 1, 2) == 2 &&
             stream.Write(m_sections[i].data, 1, m_sections[i].size) == m_sections[i].size;
    }
    const Section& last = m_sections[m_sectionCount - 1];
    if (ok && last.size)
        ok = stream.Write(last.data, 1, last.size) == last.size;
    return ok;
}

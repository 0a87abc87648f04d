#include "imaging/GifDecoder.h"

#include "imaging/GifLzw.h"
#include "platform/base/Path.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

constexpr int kMaxCodes = 4096;

} // namespace

bool CGifFrame::Create(LONG width, LONG height, int bits)
{
    Free();
    if (width <= 0 || height <= 0 || width > CGifDecoder::kMaxFrameSide || height > CGifDecoder::kMaxFrameSide)
        return false;
    m_nWidth = width;
    m_nHeight = height;
    m_nBits = bits;
    m_nStride = (width + 3) & ~3;
    m_nTransIndex = -1;
    m_nDelay = 0;
    m_nLeft = 0;
    m_pPixels = static_cast<BYTE*>(std::calloc(static_cast<size_t>(m_nStride) * static_cast<size_t>(height), 1));
    m_pInfo = static_cast<BITMAPINFO*>(std::calloc(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 1));
    if (!m_pPixels || !m_pInfo) {
        Free();
        return false;
    }
    BITMAPINFOHEADER& h = m_pInfo->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = -height; // top-down
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    h.biXPelsPerMeter = 11811; // 300 dpi
    h.biYPelsPerMeter = 11811;
    m_pColors = m_pInfo->bmiColors;
    return true;
}

void CGifFrame::Free()
{
    std::free(m_pPixels);
    std::free(m_pInfo);
    m_pPixels = nullptr;
    m_pInfo = nullptr;
    m_pColors = nullptr;
}

void CGifDecoder::AddFrame(CGifFrame* frame)
{
    CGifFrame** grown = new CGifFrame*[static_cast<size_t>(m_nFrameCount) + 1];
    for (LONG i = 0; i < m_nFrameCount; ++i)
        grown[i] = m_ppFrames[i];
    grown[m_nFrameCount] = frame;
    delete[] m_ppFrames;
    m_ppFrames = grown;
    ++m_nFrameCount;
}

void CGifDecoder::Free()
{
    for (LONG i = 0; i < m_nFrameCount; ++i)
        delete m_ppFrames[i];
    delete[] m_ppFrames;
    m_ppFrames = nullptr;
    m_nFrameCount = 0;
}

namespace {

int ReadByte(std::istream& in)
{
    char c;
    if (!in.get(c))
        return -1;
    return static_cast<BYTE>(c);
}

bool ReadBytes(std::istream& in, BYTE* out, size_t n)
{
    in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(n));
    return static_cast<size_t>(in.gcount()) == n;
}

// Reads a colour table of `count` RGB triples into blue-green-red quads.
bool ReadColors(std::istream& in, RGBQUAD* table, int count)
{
    BYTE rgb[3 * 256];
    if (!ReadBytes(in, rgb, static_cast<size_t>(3 * count)))
        return false;
    for (int i = 0; i < count; ++i)
        table[i] = RGBQUAD{rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
    return true;
}

// Collects the payload of the data sub-blocks up to the terminator, plus 4
// zero bytes. False when the file ends first.
bool ReadSubBlocks(std::istream& in, std::vector<BYTE>& data)
{
    data.clear();
    for (;;) {
        int len = ReadByte(in);
        if (len < 0)
            return false;
        if (len == 0)
            break;
        size_t at = data.size();
        data.resize(at + static_cast<size_t>(len));
        if (!ReadBytes(in, data.data() + at, static_cast<size_t>(len)))
            return false;
    }
    data.resize(data.size() + 4, 0);
    return true;
}

void SkipSubBlocks(std::istream& in)
{
    for (;;) {
        int len = ReadByte(in);
        if (len <= 0)
            return;
        in.ignore(len);
    }
}

} // namespace

int CGifDecoder::Load(const char* path)
{
    Free();
    m_nWidth = m_nHeight = 0;
    m_nCurrentFrame = 0;
    std::string native = path ? tavrin::NativePath(path) : std::string();
    if (native.empty())
        return 0;
    std::ifstream in(native, std::ios::in | std::ios::binary);
    if (!in)
        return 0;
    return Load(in);
}

int CGifDecoder::Load(std::istream& in)
{
    Free();
    m_nWidth = m_nHeight = 0;
    m_nCurrentFrame = 0;
    BYTE header[6];
    if (!ReadBytes(in, header, 6) || header[0] != 0x47 || header[1] != 0x49)
        return 0;
    BYTE screen[7];
    if (!ReadBytes(in, screen, 7))
        return 0;
    m_nWidth = screen[0] | (screen[1] << 8);
    m_nHeight = screen[2] | (screen[3] << 8);
    m_nCurrentFrame = 0;
    int globalBits = (screen[4] & 7) + 1;
    RGBQUAD global[256] = {};
    if (screen[4] & 0x80) {
        if (!ReadColors(in, global, 1 << globalBits))
            return 0;
    } else {
        for (int i = 0; i < 256; ++i)
            global[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }

    bool sawControl = false;
    BYTE control[5] = {};
    std::vector<BYTE> data;
    while (in && m_nFrameCount < kMaxFrames) {
        int b = ReadByte(in);
        if (b < 0)
            break;
        if (b == ';')
            break;
        if (b == '!') {
            int label = ReadByte(in);
            if (label < 0)
                break;
            if (label == 0xF9) {
                if (!ReadBytes(in, control, 5))
                    break;
                sawControl = true;
                ReadByte(in); // block terminator
            } else {
                SkipSubBlocks(in);
            }
            continue;
        }
        if (b != ',')
            continue;

        BYTE desc[9];
        if (!ReadBytes(in, desc, 9))
            break;
        CGifFrame* frame = new CGifFrame;
        LONG left = desc[0] | (desc[1] << 8);
        LONG top = desc[2] | (desc[3] << 8);
        LONG width = desc[4] | (desc[5] << 8);
        LONG height = desc[6] | (desc[7] << 8);
        int bits = globalBits;
        RGBQUAD local[256] = {};
        const RGBQUAD* table = global;
        bool ok = true;
        if (desc[8] & 0x80) {
            bits = (desc[8] & 7) + 1;
            ok = ReadColors(in, local, 1 << bits);
            table = local;
        }
        int minCodeSize = ok ? ReadByte(in) : -1;
        ok = ok && minCodeSize >= 0 && ReadSubBlocks(in, data);
        if (!ok) {
            delete frame;
            break;
        }
        // Code sizes 2-8 fit the one-byte indexes; larger ones are corrupt.
        bool keep = minCodeSize >= 2 && minCodeSize <= 8 && frame->Create(width, height, bits);
        if (keep) {
            std::memcpy(frame->m_pColors, table, 256 * sizeof(RGBQUAD));
            frame->m_nLeft = left;
            frame->m_nTop = top;
            if (sawControl) {
                frame->m_nTransIndex = (control[1] & 1) ? control[4] : -1;
                frame->m_bDisposal = (control[1] & 0x1C) != 0;
                frame->m_nDelay = static_cast<DWORD>(control[2] | (control[3] << 8)) * 10;
            }
            keep = DecodeGifLzw(data.data(), data.size() - 4, frame->m_pPixels, minCodeSize, frame->m_nStride, width,
                                height, (desc[8] & 0x40) != 0) != 0;
        }
        if (keep)
            AddFrame(frame);
        else
            delete frame;
        sawControl = false;
    }
    return static_cast<int>(m_nFrameCount);
}

size_t DecodeGifLzw(const BYTE* data, size_t dataSize, BYTE* pixels, int minCodeSize, LONG stride, LONG width,
                    LONG height, bool interlaced)
{
    if (!data || !pixels || minCodeSize < 2 || minCodeSize > 8 || width <= 0 || height <= 0 || stride < width)
        return 0;
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    int nextFree = clearCode + 2;
    int codeSize = minCodeSize + 1;
    const unsigned long long total = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
    const size_t totalBits = dataSize * 8;

    // Entries are written before they are read: codes at or above the next
    // free slot are refused.
    WORD prefix[kMaxCodes];
    BYTE suffix[kMaxCodes];
    BYTE stack[kMaxCodes + 2];

    size_t bitPos = 0;
    int previous = clearCode;
    BYTE firstChar = 0;
    unsigned long long written = 0;
    tavrin::GifRowOrder rows(height, interlaced);
    LONG column = 0;
    BYTE* row = pixels;

    while (written < total) {
        if (bitPos + static_cast<size_t>(codeSize) > totalBits)
            return bitPos; // the data ends early: keep what was decoded
        size_t byte = bitPos >> 3;
        DWORD window = data[byte];
        if (byte + 1 < dataSize)
            window |= static_cast<DWORD>(data[byte + 1]) << 8;
        if (byte + 2 < dataSize)
            window |= static_cast<DWORD>(data[byte + 2]) << 16;
        int code = static_cast<int>((window >> (bitPos & 7)) & ((1u << codeSize) - 1));
        bitPos += static_cast<size_t>(codeSize);

        if (code == endCode)
            return bitPos;
        if (code == clearCode) {
            codeSize = minCodeSize + 1;
            nextFree = clearCode + 2;
            previous = clearCode;
            continue;
        }
        int top = 0;
        int current = code;
        if (code > nextFree)
            return 0; // not in the table and not the code being defined
        if (code == nextFree) {
            // KwKwK: the previous string plus its own first character.
            if (previous == clearCode)
                return 0;
            stack[top++] = firstChar;
            current = previous;
        }
        while (current >= clearCode + 2) {
            if (top >= kMaxCodes)
                return 0;
            stack[top++] = suffix[current];
            current = prefix[current];
        }
        if (current >= clearCode)
            return 0; // a chain through the clear or end code: corrupt
        stack[top++] = static_cast<BYTE>(current);
        BYTE root = static_cast<BYTE>(current);
        if (previous != clearCode && nextFree < kMaxCodes) {
            prefix[nextFree] = static_cast<WORD>(previous);
            suffix[nextFree] = root;
            ++nextFree;
            if (nextFree >= (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        previous = code;
        firstChar = root;

        while (top > 0 && written < total) {
            row[column++] = stack[--top];
            ++written;
            if (column == width) {
                column = 0;
                if (!rows.Next())
                    return bitPos;
                row = pixels + static_cast<size_t>(rows.Row()) * static_cast<size_t>(stride);
            }
        }
    }
    return bitPos;
}

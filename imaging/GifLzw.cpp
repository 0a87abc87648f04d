#include "imaging/GifLzw.h"

#include <cstring>

namespace tavrin {

namespace {

constexpr int kMaxCodes = 4096; // 12-bit codes
constexpr int kHashSize = 5003;  // prime, about 80% occupancy

} // namespace

// ---------------------------------------------------------------- decoder

int GifLzwDecoder::Start(int minCodeSize)
{
    m_status = kEnd;
    if (minCodeSize < 2 || minCodeSize > 9)
        return kBadCodeSize;
    m_minCodeSize = minCodeSize;
    m_codeSize = minCodeSize + 1;
    m_clearCode = 1 << minCodeSize;
    m_endCode = m_clearCode + 1;
    m_firstFree = m_nextSlot = m_endCode + 1;
    m_slotLimit = 1 << m_codeSize;
    m_oldCode = -1;
    m_firstChar = 0;
    m_bits = 0;
    m_bitCount = 0;
    m_blockLen = m_blockPos = 0;
    m_blocksDone = false;
    m_stackTop = 0;
    std::memset(m_prefix, 0, sizeof m_prefix);
    std::memset(m_suffix, 0, sizeof m_suffix);
    m_status = kRunning;
    return 0;
}

int GifLzwDecoder::NextByte()
{
    if (m_blockPos == m_blockLen) {
        if (m_blocksDone)
            return -1;
        int len = m_source.GetByte();
        if (len <= 0) {
            m_blocksDone = true;
            return -1;
        }
        size_t got = m_source.ReadBytes(m_block, static_cast<size_t>(len));
        if (got < static_cast<size_t>(len))
            m_blocksDone = true; // the input itself ended
        if (got == 0)
            return -1;
        m_blockLen = static_cast<int>(got);
        m_blockPos = 0;
    }
    return m_block[m_blockPos++];
}

int GifLzwDecoder::NextCode()
{
    while (m_bitCount < m_codeSize) {
        int b = NextByte();
        if (b < 0)
            return -1;
        m_bits |= static_cast<DWORD>(b) << m_bitCount;
        m_bitCount += 8;
    }
    int code = static_cast<int>(m_bits & ((1u << m_codeSize) - 1));
    m_bits >>= m_codeSize;
    m_bitCount -= m_codeSize;
    return code;
}

size_t GifLzwDecoder::Decode(BYTE* out, size_t n)
{
    size_t produced = 0;
    while (produced < n) {
        if (m_stackTop > 0) {
            size_t take = static_cast<size_t>(m_stackTop);
            if (take > n - produced)
                take = n - produced;
            for (size_t i = 0; i < take; ++i)
                out[produced++] = m_stack[--m_stackTop];
            continue;
        }
        if (m_status != kRunning)
            break;
        int code = NextCode();
        if (code < 0) {
            m_status = kOutOfData;
            break;
        }
        if (code == m_clearCode) {
            m_codeSize = m_minCodeSize + 1;
            m_slotLimit = 1 << m_codeSize;
            m_nextSlot = m_firstFree;
            m_oldCode = -1;
            continue;
        }
        if (code == m_endCode) {
            m_status = kEnd;
            break;
        }
        if (m_oldCode < 0) {
            // The first code after a clear must be a single index.
            if (code >= m_nextSlot) {
                m_status = kBadCode;
                break;
            }
            m_firstChar = static_cast<BYTE>(code);
            m_oldCode = code;
            m_stack[m_stackTop++] = m_firstChar;
            continue;
        }
        if (code > m_nextSlot) {
            // Not in the table and not the code being defined.
            m_status = kBadCode;
            break;
        }
        int inCode = code;
        if (code == m_nextSlot) {
            m_stack[m_stackTop++] = m_firstChar;
            code = m_oldCode;
        }
        // Prefixes always point to lower codes, so the chain ends; the stack
        // bound is a second guard.
        while (code >= m_firstFree && m_stackTop < static_cast<int>(sizeof m_stack) - 1) {
            m_stack[m_stackTop++] = m_suffix[code];
            code = m_prefix[code];
        }
        if (code >= m_firstFree) {
            m_stackTop = 0;
            m_status = kBadCode;
            break;
        }
        m_firstChar = static_cast<BYTE>(code);
        m_stack[m_stackTop++] = m_firstChar;
        if (m_nextSlot < kMaxCodes) {
            m_prefix[m_nextSlot] = static_cast<WORD>(m_oldCode);
            m_suffix[m_nextSlot] = m_firstChar;
            ++m_nextSlot;
            if (m_nextSlot >= m_slotLimit && m_codeSize < 12) {
                ++m_codeSize;
                m_slotLimit <<= 1;
            }
        }
        m_oldCode = inCode;
    }
    return produced;
}

void GifLzwDecoder::SkipRest()
{
    m_blockPos = m_blockLen;
    m_stackTop = 0;
    if (m_status == kRunning)
        m_status = kEnd;
    while (!m_blocksDone) {
        int len = m_source.GetByte();
        if (len <= 0) {
            m_blocksDone = true;
            break;
        }
        if (m_source.ReadBytes(m_block, static_cast<size_t>(len)) < static_cast<size_t>(len))
            m_blocksDone = true;
    }
}

// ---------------------------------------------------------------- rows

bool GifRowOrder::Next()
{
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    if (!m_interlaced)
        return ++m_row < m_height;
    m_row += kStep[m_pass];
    // A pass with no row inside the frame is passed over; after the last
    // pass there are no more rows.
    while (m_row >= m_height) {
        if (++m_pass >= 4)
            return false;
        m_row = kStart[m_pass];
    }
    return true;
}

// ---------------------------------------------------------------- packer

void GifCodePacker::Put(int code, int width)
{
    m_accum |= static_cast<DWORD>(code) << m_bitCount;
    m_bitCount += width;
    while (m_bitCount >= 8) {
        PutByte(static_cast<BYTE>(m_accum & 0xFF));
        m_accum >>= 8;
        m_bitCount -= 8;
    }
}

void GifCodePacker::Flush()
{
    while (m_bitCount > 0) {
        PutByte(static_cast<BYTE>(m_accum & 0xFF));
        m_accum >>= 8;
        m_bitCount -= 8;
    }
    m_bitCount = 0;
    m_accum = 0;
    if (m_blockUsed > 0)
        WriteBlock();
}

void GifCodePacker::PutByte(BYTE b)
{
    m_block[m_blockUsed++] = b;
    if (m_blockUsed >= m_blockLength)
        WriteBlock();
}

void GifCodePacker::WriteBlock()
{
    BYTE len = static_cast<BYTE>(m_blockUsed);
    if (!m_sink.WriteBytes(&len, 1) || !m_sink.WriteBytes(m_block, static_cast<size_t>(m_blockUsed)))
        m_ok = false;
    m_blockUsed = 0;
}

// ---------------------------------------------------------------- encoder

GifLzwEncoder::GifLzwEncoder(GifByteSink& sink, int initialWidth, int method)
    : m_packer(sink, method == GIF_COMPRESS_RLE ? 255 : 254),
      m_method(method == GIF_COMPRESS_NONE || method == GIF_COMPRESS_RLE ? method : GIF_COMPRESS_LZW),
      m_initialWidth(initialWidth < 3 ? 3 : initialWidth > 12 ? 12 : initialWidth),
      m_clearCode(1 << (m_initialWidth - 1)), m_endCode(m_clearCode + 1), m_width(m_initialWidth),
      m_maxCode((1 << m_initialWidth) - 1), m_freeCode(m_clearCode + 2)
{
    if (m_method == GIF_COMPRESS_LZW) {
        m_hash = new LONG[kHashSize];
        m_codes = new WORD[kHashSize];
        int k = 0;
        for (long size = kHashSize; size < 65536; size *= 2)
            ++k;
        m_hashShift = 8 - k;
    }
    m_rlMaxCodes = 4093 - m_clearCode;
}

GifLzwEncoder::~GifLzwEncoder()
{
    delete[] m_hash;
    delete[] m_codes;
}

void GifLzwEncoder::ClearHash()
{
    for (int i = 0; i < kHashSize; ++i)
        m_hash[i] = -1;
}

void GifLzwEncoder::Output(int code)
{
    m_packer.Put(code, m_width);
    if (m_freeCode > m_maxCode || m_clearFlag) {
        if (m_clearFlag) {
            m_width = m_initialWidth;
            m_maxCode = (1 << m_width) - 1;
            m_clearFlag = false;
        } else {
            ++m_width;
            m_maxCode = m_width >= 12 ? kMaxCodes : (1 << m_width) - 1;
        }
    }
}

void GifLzwEncoder::Add(const BYTE* pixels, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        BYTE c = pixels[i];
        if (!m_started) {
            m_started = true;
            if (m_method == GIF_COMPRESS_RLE) {
                RlReset();
                m_packer.Put(m_clearCode, m_width);
                m_runPixel = c;
                m_runLength = 1;
                continue;
            }
            if (m_method == GIF_COMPRESS_LZW) {
                ClearHash();
                Output(m_clearCode);
                m_current = c;
                continue;
            }
            Output(m_clearCode);
        }
        switch (m_method) {
        case GIF_COMPRESS_LZW:
            AddLzw(c);
            break;
        case GIF_COMPRESS_NONE:
            AddUncompressed(c);
            break;
        default:
            if (m_runLength > 0 && c == m_runPixel) {
                ++m_runLength;
            } else {
                if (m_runLength > 0)
                    RlFlush();
                m_runPixel = c;
                m_runLength = 1;
            }
            break;
        }
    }
}

void GifLzwEncoder::AddLzw(BYTE c)
{
    LONG key = (static_cast<LONG>(c) << 12) + m_current;
    int slot = (static_cast<int>(c) << m_hashShift) ^ m_current;
    if (m_hash[slot] == key) {
        m_current = m_codes[slot];
        return;
    }
    if (m_hash[slot] >= 0) {
        int displacement = slot == 0 ? 1 : kHashSize - slot;
        do {
            slot -= displacement;
            if (slot < 0)
                slot += kHashSize;
            if (m_hash[slot] == key) {
                m_current = m_codes[slot];
                return;
            }
        } while (m_hash[slot] > 0);
    }
    Output(m_current);
    m_current = c;
    if (m_freeCode < kMaxCodes) {
        m_codes[slot] = static_cast<WORD>(m_freeCode++);
        m_hash[slot] = key;
    } else {
        ClearHash();
        m_freeCode = m_clearCode + 2;
        m_clearFlag = true;
        Output(m_clearCode);
    }
}

void GifLzwEncoder::AddUncompressed(BYTE c)
{
    Output(c);
    if (m_freeCode < kMaxCodes)
        ++m_freeCode;
    if (m_freeCode >= kMaxCodes) {
        m_freeCode = m_clearCode + 2;
        m_clearFlag = true;
        Output(m_clearCode);
    }
}

bool GifLzwEncoder::Finish()
{
    if (!m_started) {
        // No pixels: a clear and the end code still make valid data.
        m_started = true;
        if (m_method == GIF_COMPRESS_RLE)
            RlReset();
        m_packer.Put(m_clearCode, m_width);
    } else if (m_method == GIF_COMPRESS_LZW) {
        Output(m_current);
    } else if (m_method == GIF_COMPRESS_RLE && m_runLength > 0) {
        RlFlush();
    }
    m_packer.Put(m_endCode, m_width);
    m_packer.Flush();
    return m_packer.IsOk();
}

// Run-length coding: runs of one index p are sent as codes for p, pp, ppp,
// ... which a decoder builds in its own table as it reads them, so no code
// is ever used before the decoder holds it.

void GifLzwEncoder::RlReset()
{
    m_width = m_initialWidth;
    m_bump = (1 << (m_initialWidth - 1)) - 1;
    m_threshold = m_initialWidth <= 3 ? 9 : (1 << (m_initialWidth - 1)) - 2;
    m_outCount = 0;
    m_tableMax = 0;
    m_justCleared = true;
}

void GifLzwEncoder::RlClear()
{
    m_packer.Put(m_clearCode, m_width);
    RlReset();
}

void GifLzwEncoder::RlPlain(int code)
{
    m_justCleared = false;
    m_packer.Put(code, m_width);
    ++m_outCount;
    if (m_outCount >= m_bump) {
        ++m_width;
        m_bump += 1 << (m_width - 1);
    }
    if (m_outCount >= m_threshold)
        RlClear();
}

void GifLzwEncoder::RlResetThreshold()
{
    m_threshold = m_initialWidth <= 3 ? 9 : (1 << (m_initialWidth - 1)) - 2;
    if (m_outCount >= m_threshold)
        RlClear();
}

int GifLzwEncoder::Triangle(int n, int m) const
{
    int cost = 0;
    int perRepeat = m * (m + 1) / 2;
    while (n >= perRepeat) {
        cost += m;
        n -= perRepeat;
    }
    if (n > 0) {
        int k = 1;
        while ((k + 1) * (k + 1) <= n)
            ++k; // integer square root
        while (k > 0 && k * (k + 1) >= 2 * n)
            --k;
        while (k * (k + 1) < 2 * n)
            ++k;
        cost += k;
    }
    return cost;
}

void GifLzwEncoder::RlFlush()
{
    int n = m_runLength;
    m_runLength = 0;
    if (n == 1)
        RlPlain(m_runPixel);
    else if (m_justCleared)
        RlFromClear(n);
    else if (m_tableMax < 2 || m_tablePixel != m_runPixel)
        RlClearOrRepeat(n);
    else
        RlWithTable(n);
}

void GifLzwEncoder::RlFromClear(int n)
{
    m_threshold = m_rlMaxCodes;
    m_tablePixel = m_runPixel;
    int k = 1;
    while (n > 0) {
        if (k == 1) {
            m_tableMax = 1;
            RlPlain(m_runPixel);
            --n;
        } else if (n >= k) {
            m_tableMax = k;
            RlPlain(m_clearCode + 2 + k - 2);
            n -= k;
        } else if (n == 1) {
            ++m_tableMax;
            RlPlain(m_runPixel);
            n = 0;
        } else {
            ++m_tableMax;
            RlPlain(m_clearCode + 2 + n - 2);
            n = 0;
        }
        k = m_outCount == 0 ? 1 : k + 1;
    }
    RlResetThreshold();
}

void GifLzwEncoder::RlClearOrRepeat(int n)
{
    if (1 + Triangle(n, m_rlMaxCodes) < n) {
        RlClear();
        RlFromClear(n);
    } else {
        for (; n > 0; --n)
            RlPlain(m_runPixel);
    }
}

void GifLzwEncoder::RlWithTable(int n)
{
    int repeats = n / m_tableMax;
    int leftover = n % m_tableMax;
    int extra = leftover ? 1 : 0;
    if (m_outCount + repeats + extra > m_rlMaxCodes) {
        repeats = m_rlMaxCodes - m_outCount;
        leftover = n - repeats * m_tableMax;
        extra = 1 + Triangle(leftover, m_rlMaxCodes);
    }
    if (1 + Triangle(n, m_rlMaxCodes) < repeats + extra) {
        RlClear();
        RlFromClear(n);
        return;
    }
    m_threshold = m_rlMaxCodes;
    for (; repeats > 0; --repeats)
        RlPlain(m_clearCode + 2 + m_tableMax - 2);
    if (leftover > 0) {
        if (m_justCleared)
            RlFromClear(leftover);
        else if (leftover == 1)
            RlPlain(m_runPixel);
        else
            RlPlain(m_clearCode + 2 + leftover - 2);
    }
    RlResetThreshold();
}

} // namespace tavrin

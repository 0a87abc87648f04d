// LZW coding of GIF image data. The decoder reads one frame's data
// sub-blocks from a byte source and yields palette indexes; the encoder
// takes indexes and writes the sub-blocks to a byte sink, compressed by
// LZW, not compressed, or run-length coded in codes every decoder reads.
#pragma once

#include "platform/base/Types.h"

#include <cstddef>

namespace tavrin {

class GifByteSource {
public:
    virtual ~GifByteSource() = default;
    // The next byte, or -1 at the end of the input.
    virtual int GetByte() = 0;
    // Up to n bytes; the number read.
    virtual size_t ReadBytes(BYTE* out, size_t n) = 0;
};

class GifByteSink {
public:
    virtual ~GifByteSink() = default;
    // False when the bytes could not all be written.
    virtual bool WriteBytes(const BYTE* data, size_t n) = 0;
};

class GifLzwDecoder {
public:
    enum Status {
        kRunning,
        kEnd,       // the end code was read
        kOutOfData, // the sub-blocks ended before the end code
        kBadCode,   // a code the table does not hold yet: corrupt data
    };
    static constexpr int kBadCodeSize = -20;

    explicit GifLzwDecoder(GifByteSource& source) : m_source(source) {}
    GifLzwDecoder(const GifLzwDecoder&) = delete;
    GifLzwDecoder& operator=(const GifLzwDecoder&) = delete;

    // Starts a frame's data after its minimum code size byte has been read.
    // Returns 0, or kBadCodeSize for a size outside 2-9.
    int Start(int minCodeSize);
    // Decodes up to n indexes; fewer only when the data has ended (see
    // GetStatus).
    size_t Decode(BYTE* out, size_t n);
    Status GetStatus() const { return m_status; }
    // Reads what is left of the data sub-blocks, the terminator included.
    void SkipRest();

private:
    int NextByte();
    int NextCode();

    GifByteSource& m_source;
    Status m_status = kEnd;
    int m_minCodeSize = 0;
    int m_codeSize = 0;
    int m_clearCode = 0;
    int m_endCode = 0;
    int m_firstFree = 0;
    int m_nextSlot = 0;
    int m_slotLimit = 0;
    int m_oldCode = -1;
    BYTE m_firstChar = 0;
    DWORD m_bits = 0;
    int m_bitCount = 0;
    BYTE m_block[256] = {};
    int m_blockLen = 0;
    int m_blockPos = 0;
    bool m_blocksDone = true; // terminator (or end of input) met
    int m_stackTop = 0;
    BYTE m_stack[4097] = {};
    BYTE m_suffix[4096] = {};
    WORD m_prefix[4096] = {};
};

// Packs codes least-significant bit first into data sub-blocks of a fixed
// length (the last one shorter).
class GifCodePacker {
public:
    GifCodePacker(GifByteSink& sink, int blockLength) : m_sink(sink), m_blockLength(blockLength) {}
    void Put(int code, int width);
    // Writes the remaining bits and the last partial sub-block.
    void Flush();
    bool IsOk() const { return m_ok; }

private:
    void PutByte(BYTE b);
    void WriteBlock();

    GifByteSink& m_sink;
    int m_blockLength;
    DWORD m_accum = 0;
    int m_bitCount = 0;
    BYTE m_block[256] = {};
    int m_blockUsed = 0;
    bool m_ok = true;
};

// Picture rows in the order a frame's data holds them: top to bottom, or
// for interlaced frames 0, 8, 16 ...; 4, 12 ...; 2, 6 ...; 1, 3 ... Rows
// stay below the height.
class GifRowOrder {
public:
    GifRowOrder(LONG height, bool interlaced) : m_height(height), m_interlaced(interlaced) {}
    LONG Row() const { return m_row; }
    // Moves to the next row; false when the frame has no more rows.
    bool Next();

private:
    LONG m_height;
    bool m_interlaced;
    LONG m_row = 0;
    int m_pass = 0;
};

// Compression methods of the encoder (the GIF codec option word).
enum GifCompression {
    GIF_COMPRESS_LZW = 0,
    GIF_COMPRESS_NONE = 1,
    GIF_COMPRESS_RLE = 2,
};

class GifLzwEncoder {
public:
    // initialWidth: the minimum code size + 1.
    GifLzwEncoder(GifByteSink& sink, int initialWidth, int method);
    ~GifLzwEncoder();
    GifLzwEncoder(const GifLzwEncoder&) = delete;
    GifLzwEncoder& operator=(const GifLzwEncoder&) = delete;

    // Feeds indexes in picture order (top row first, left to right).
    void Add(const BYTE* pixels, size_t n);
    // Ends the data (end code, last bits and sub-block). False when a write
    // failed.
    bool Finish();

private:
    // LZW and uncompressed
    void Output(int code);
    void ClearHash();
    void AddLzw(BYTE c);
    void AddUncompressed(BYTE c);
    // Run-length
    void RlReset();
    void RlPlain(int code);
    void RlClear();
    void RlFlush();
    void RlFromClear(int n);
    void RlClearOrRepeat(int n);
    void RlWithTable(int n);
    void RlResetThreshold();
    int Triangle(int n, int m) const;

    GifCodePacker m_packer;
    int m_method;
    int m_initialWidth;
    int m_clearCode;
    int m_endCode;
    bool m_started = false;

    // LZW state
    int m_width;
    int m_maxCode;
    int m_freeCode;
    bool m_clearFlag = false;
    int m_hashShift = 0;
    int m_current = 0;
    LONG* m_hash = nullptr;      // 5003 keys
    WORD* m_codes = nullptr;     // 5003 codes

    // Run-length state
    int m_runPixel = 0;
    int m_runLength = 0;
    int m_tablePixel = 0;
    int m_tableMax = 0;
    bool m_justCleared = true;
    int m_outCount = 0;
    int m_bump = 0;
    int m_threshold = 0;
    int m_rlMaxCodes = 0;
};

} // namespace tavrin

// CGifDecoder: the small GIF reader of the verification-code picture. It
// turns a GIF file into a list of frames, each an 8-bit top-down DIB with its
// own colour table, ready to be painted with SetDIBitsToDevice.
#pragma once

#include "platform/base/Types.h"

#include <cstddef>
#include <iosfwd>

// One decoded frame. Heap allocated and owned by its decoder.
struct CGifFrame {
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
    int m_nBits = 0;               // bits per pixel of the GIF table (1-8)
    BYTE* m_pPixels = nullptr;     // m_nHeight rows of m_nStride bytes, top row first
    RGBQUAD* m_pColors = nullptr;  // the colour table inside m_pInfo
    LONG m_nStride = 0;            // width rounded up to a multiple of 4
    LONG m_nTransIndex = -1;
    LONG m_nLeft = 0;
    LONG m_nTop = 0;
    DWORD m_nDelay = 0;            // milliseconds
    LONG m_bDisposal = 0;          // 1 when the file's disposal method is not 0
    BITMAPINFO* m_pInfo = nullptr; // header + 256 colours

    CGifFrame() = default;
    ~CGifFrame() { Free(); }
    CGifFrame(const CGifFrame&) = delete;
    CGifFrame& operator=(const CGifFrame&) = delete;

    // Allocates zeroed pixels and a header for a top-down 8-bit DIB. False
    // when the size is not allowed or memory runs out.
    bool Create(LONG width, LONG height, int bits);
    void Free();
    // Paints the whole frame at (x, y), unstretched: the scan lines drawn.
    int Draw(HDC dc, int x, int y) const;
};

class CGifDecoder {
public:
    // Frames larger than this, and frames beyond the count, are not decoded:
    // the picture comes from a remote server.
    static constexpr LONG kMaxFrameSide = 4096;
    static constexpr LONG kMaxFrames = 64;

    CGifDecoder() = default;
    ~CGifDecoder() { Free(); }
    CGifDecoder(const CGifDecoder&) = delete;
    CGifDecoder& operator=(const CGifDecoder&) = delete;

    // Decodes a GIF file (program path); the number of frames kept, 0 on any
    // failure. Frames of an earlier load are dropped first.
    int Load(const char* path);
    // The same over an open binary stream.
    int Load(std::istream& in);
    // Appends a frame; the decoder owns it from then on.
    void AddFrame(CGifFrame* frame);
    void Free();

    LONG GetWidth() const { return m_nWidth; }
    LONG GetHeight() const { return m_nHeight; }
    LONG GetCurrentFrame() const { return m_nCurrentFrame; }
    int GetFrameCount() const { return static_cast<int>(m_nFrameCount); }
    CGifFrame* GetFrame(int index) const
    {
        return index >= 0 && index < m_nFrameCount ? m_ppFrames[index] : nullptr;
    }

private:
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
    LONG m_nCurrentFrame = 0;
    CGifFrame** m_ppFrames = nullptr;
    LONG m_nFrameCount = 0;
};

// Decodes the LZW data of a frame (the sub-blocks' payload, dataSize bytes)
// into width x height one-byte indexes, rows stride bytes apart. 0 when the
// frame must be dropped (bad code size or code, no data at all), else the
// bit position reached.
size_t DecodeGifLzw(const BYTE* data, size_t dataSize, BYTE* pixels, int minCodeSize, LONG stride, LONG width,
                    LONG height, bool interlaced);

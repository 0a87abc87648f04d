// CImageObj: one in-memory device-independent bitmap (bottom-up rows, padded to
// 4 bytes, 1/4/8-bit palette or 24-bit blue-green-red) with its attributes,
// its last error text and the file side (load/save by image type).
#pragma once

#include "platform/base/Types.h"

#include <cstdio>

class CImageStream;
class CImageObj;

// Image types: 0 tries every codec in turn.
enum : DWORD {
    IMAGE_TYPE_ANY = 0,
    IMAGE_TYPE_GIF = 1,
    IMAGE_TYPE_JPEG = 2,
    IMAGE_TYPE_COUNT = 3
};

// The attribute block, copied as a whole between images (CopyInfo, Transfer,
// Ghost). Plain data only.
struct ImageAttributes {
    DWORD effWidth;           // bytes per row, a multiple of 4
    BYTE* pixels;             // first pixel row inside the DIB block
    CImageObj* ghostOwner;    // the image whose buffers a ghost borrows
    CImageObj* parent;
    DWORD type;
    char lastError[256];
    LONG progress;            // 0-100, written by Resample
    LONG escape;              // non-zero stops long work; -1 asks decoders for the size only
    LONG transIndex;          // -1 when none
    RGBQUAD transColor;       // for 24-bit images
    BYTE jpegQuality;
    BYTE jpegScale;           // scale denominator, 0 = full size
    LONG frame;
    LONG frameCount;
    DWORD frameDelay;         // hundredths of a second
    LONG xDpi;
    LONG yDpi;
    RECT selectionBox;
    BYTE alphaMax;
    BYTE alphaPalette;
    BYTE enabled;
    LONG xOffset;
    LONG yOffset;
    DWORD codecOptions[IMAGE_TYPE_COUNT];
    RGBQUAD nearestColor;     // cache of GetNearestIndex
    BYTE nearestIndex;
    BYTE nearestValid;
    LONG layerCount;
    DWORD userFlags;
};

class CImageObj {
public:
    explicit CImageObj(DWORD imageType = IMAGE_TYPE_ANY);
    CImageObj(DWORD width, DWORD height, DWORD bpp, DWORD imageType = IMAGE_TYPE_ANY);
    virtual ~CImageObj();
    CImageObj(const CImageObj&) = delete;
    CImageObj& operator=(const CImageObj&) = delete;

    // Lifetime and buffers
    void Startup(DWORD imageType);
    void* Create(DWORD width, DWORD height, DWORD bpp, DWORD imageType);
    bool Destroy();
    void CopyInfo(const CImageObj& source);
    bool Copy(const CImageObj& source, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    bool Transfer(CImageObj& source);
    void Ghost(const CImageObj* source);

    // Accessors
    DWORD GetWidth() const { return static_cast<DWORD>(m_head.biWidth); }
    DWORD GetHeight() const { return static_cast<DWORD>(m_head.biHeight); }
    DWORD GetEffWidth() const { return m_info.effWidth; }
    WORD GetBpp() const { return m_head.biBitCount; }
    DWORD GetType() const { return m_info.type; }
    DWORD GetNumColors() const { return m_head.biClrUsed; }
    LONG GetXDPI() const { return m_info.xDpi; }
    LONG GetYDPI() const { return m_info.yDpi; }
    void SetXDPI(LONG dpi);
    void SetYDPI(LONG dpi);
    BYTE GetJpegQuality() const { return m_info.jpegQuality; }
    void SetJpegQuality(BYTE quality) { m_info.jpegQuality = quality; }
    BYTE GetJpegScale() const { return m_info.jpegScale; }
    void SetJpegScale(BYTE scale) { m_info.jpegScale = scale; }
    const char* GetLastError() const { return m_info.lastError; }
    void SetLastError(const char* text);
    bool IsValid() const { return m_dib != nullptr; }
    LONG GetTransIndex() const { return m_info.transIndex; }
    void SetTransIndex(LONG index) { m_info.transIndex = index; }
    bool IsTransparent() const { return m_info.transIndex >= 0; }
    RGBQUAD GetTransColor() const;
    void SetTransColor(RGBQUAD color);
    void SetOffset(LONG x, LONG y) { m_info.xOffset = x; m_info.yOffset = y; }
    LONG GetProgress() const { return m_info.progress; }
    void SetProgress(LONG progress) { m_info.progress = progress; }
    LONG GetEscape() const { return m_info.escape; }
    void SetEscape(LONG escape) { m_info.escape = escape; }
    LONG GetNumFrames() const { return m_info.frameCount; }
    void SetNumFrames(LONG count) { m_info.frameCount = count; }
    DWORD GetCodecOption(DWORD imageType = IMAGE_TYPE_ANY) const;
    void SetCodecOption(DWORD option, DWORD imageType = IMAGE_TYPE_ANY);
    const BITMAPINFOHEADER& GetHeader() const { return m_head; }
    const ImageAttributes& GetAttributes() const { return m_info; }
    BYTE* GetSelection() const { return m_selection; }
    BYTE* GetAlpha() const { return m_alpha; }

    BYTE* GetBits(DWORD row = 0) const;
    bool IsInside(LONG x, LONG y) const;
    void Clear(BYTE value = 0);

    // Palette
    DWORD GetPaletteSize() const { return m_head.biClrUsed * 4; }
    RGBQUAD* GetPalette() const;
    RGBQUAD GetPaletteColor(BYTE index) const;
    void SetPaletteColor(BYTE index, RGBQUAD color);
    void SetPalette(const RGBQUAD* entries, DWORD count = 256);
    void SetPalette(DWORD count, const BYTE* red, const BYTE* green = nullptr, const BYTE* blue = nullptr);
    void SetGrayPalette();
    bool IsGrayScale() const;
    void RGBtoBGR(BYTE* bytes, DWORD length) const;

    // Pixels
    BYTE GetPixelIndex(LONG x, LONG y) const;
    void SetPixelIndex(LONG x, LONG y, BYTE index);
    RGBQUAD GetPixelColor(LONG x, LONG y) const;
    void SetPixelColor(LONG x, LONG y, RGBQUAD color);
    void SetPixelColor(LONG x, LONG y, COLORREF color);
    BYTE GetNearestIndex(RGBQUAD color);

    // Resampling: method 1 nearest pixel, 2 bicubic B-spline, else bilinear.
    bool Resample(LONG newWidth, LONG newHeight, int method = 1, CImageObj* destination = nullptr);
    // The cubic B-spline weight of the bicubic method.
    static float KernelBSpline(float x);

    // Files and format dispatch
    bool Load(const char* path, DWORD imageType = IMAGE_TYPE_ANY);
    bool Save(const char* path, DWORD imageType);
    bool Decode(FILE* file, DWORD imageType);
    bool Encode(FILE* file, DWORD imageType);
    bool Decode(CImageStream& stream, DWORD imageType);
    bool Encode(CImageStream& stream, DWORD imageType);
    bool EncodeSafeCheck(CImageStream* stream);

protected:
    // The largest pixel block an image may have, in bytes.
    static constexpr unsigned long long kMaxPixelBytes = 256000000ULL;
    // Fails with "IMAGE_MAX_MEMORY exceeded" when an image of this size could
    // not be created.
    bool CheckSize(unsigned long long width, unsigned long long height, unsigned bpp);

    BYTE* m_dib = nullptr;          // header, palette and pixels (malloc)
    BITMAPINFOHEADER m_head{};      // the authoritative header
    ImageAttributes m_info{};
    BYTE* m_selection = nullptr;    // width x height bytes
    BYTE* m_alpha = nullptr;        // width x height bytes
    CImageObj** m_layers = nullptr; // m_info.layerCount owned images

private:
    bool BlockExists() const { return m_dib != nullptr && m_info.pixels != nullptr; }
    void InvalidateNearest() { m_info.nearestValid = 0; }
    void BorrowOrTake(const CImageObj& source);
};

// Walks the rows of an image top-down over its bottom-up buffer.
class CImageIterator {
public:
    explicit CImageIterator(CImageObj* image = nullptr);

    void Upset();
    void SetY(LONG y);
    LONG GetY() const { return m_y; }
    void SetRow(const BYTE* bytes, LONG n);
    void GetRow(BYTE* bytes, LONG n) const;
    bool PrevRow();
    bool ItOK() const;
    BYTE* GetRowAddress() const { return m_row; }

private:
    LONG m_x = 0;
    LONG m_y = 0;
    LONG m_stepX = 0;
    LONG m_stepY = 0;
    BYTE* m_row = nullptr;
    CImageObj* m_image = nullptr;
};

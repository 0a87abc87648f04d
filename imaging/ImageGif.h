// CImageGif: the GIF codec of the image class (image type 1). Decodes one
// frame composed onto the logical screen into a 1-, 4- or 8-bit palette
// image, or a true-colour GIF (tiles with a palette each) into a 24-bit
// image; encodes palette images as one-frame GIF89a files and 24-bit images
// as a mosaic of 17 x 15 tiles.
#pragma once

#include "imaging/ImageObj.h"

class CImageStream;

namespace tavrin {
class GifStreamSink;
class GifInput;
} // namespace tavrin

class CImageGif : public CImageObj {
public:
    CImageGif();
    ~CImageGif() override;

    bool Decode(CImageStream& stream);
    bool Encode(CImageStream& stream);

    const char* GetComment() const { return m_comment; }
    void SetComment(const char* text);
    LONG GetLoopCount() const { return m_loops; }
    LONG GetDisposalMethod() const { return m_disposal; }
    void SetDisposalMethod(LONG method) { m_disposal = method; }

private:
    // The graphic control extension as stored in the file.
#pragma pack(push, 1)
    struct ControlRecord {
        BYTE flags;      // bit 0 transparency, bits 2-4 disposal method
        WORD delay;      // hundredths of a second
        BYTE transIndex;
    };
#pragma pack(pop)
    struct ColorTable;
    struct LoopState;

    bool RunBlocks(tavrin::GifInput& in, LoopState& state);
    // Reads one extension block; sawControl is set by a graphic control block.
    bool ReadExtension(tavrin::GifInput& in, bool& sawControl);
    // One image block after its ','; false ends the block loop.
    bool ReadFrame(tavrin::GifInput& in, LoopState& state);
    LONG CountFrames(tavrin::GifInput& in, const LoopState& start);
    // Decodes the LZW data into this (frame-sized) image; marks the picture
    // rows written.
    void DecodeFrameData(tavrin::GifInput& in, bool interlaced, BYTE fill, BYTE* written);

    bool EncodeMosaic(CImageStream& stream);
    bool WriteHeader(tavrin::GifStreamSink& sink, bool withPalette);
    bool WriteControl(tavrin::GifStreamSink& sink, BYTE flags, WORD delay, BYTE transIndex);
    bool WriteComment(tavrin::GifStreamSink& sink);
    // The image block: descriptor, optional local table, LZW data.
    bool WriteImage(tavrin::GifStreamSink& sink, bool localTable);

    ControlRecord m_control{};
    char m_comment[256];
    LONG m_loops = 0;
    LONG m_disposal = 0;
};

namespace tavrin {
// The format dispatch's entry points: decode into target through a fresh
// codec object, encode from a ghost of source.
bool DecodeGifImage(CImageObj& target, CImageStream& stream);
bool EncodeGifImage(CImageObj& source, CImageStream& stream);
} // namespace tavrin

// CImageJpeg: the JPEG codec of the image class (image type 2), over the
// system's libjpeg. Decodes into 24-bit or 8-bit grey images, encodes 24-bit
// and grey-ramp images as sequential JFIF streams.
#pragma once

#include "imaging/ImageExifInfo.h"
#include "imaging/ImageObj.h"

#include <memory>

// Codec option bits (the JPEG word of CImageObj::GetCodecOption).
enum : DWORD {
    JPEG_ENC_BASELINE = 0x01,
    JPEG_ENC_ARITHMETIC = 0x02,
    JPEG_ENC_GRAYSCALE = 0x04,
    JPEG_ENC_OPTIMIZE = 0x08,
    JPEG_ENC_PROGRESSIVE = 0x10,
    JPEG_ENC_SMOOTHING = 0x40,
    JPEG_DEC_GRAYSCALE = 0x80,
    JPEG_DEC_QUANTIZE = 0x100,
    JPEG_DEC_DITHER = 0x200,
    JPEG_DEC_ONEPASS = 0x400,
    JPEG_DEC_NOSMOOTH = 0x800,
};

class CImageJpeg : public CImageObj {
public:
    CImageJpeg();
    ~CImageJpeg() override;

    bool Decode(CImageStream& stream);
    bool Encode(CImageStream& stream);
    bool DecodeExif(CImageStream& stream);

    const ImageExifBlock& GetExifBlock() const { return m_exifBlock; }
    CImageExifInfo* GetExifReader() const { return m_exif.get(); }

private:
    std::unique_ptr<CImageExifInfo> m_exif;
    ImageExifBlock m_exifBlock{};
    LONG m_smoothing = 0;
    LONG m_dither = 0;
};

namespace tavrin {
// The format dispatch's entry points: decode into target through a fresh
// codec object, encode from a ghost of source.
bool DecodeJpegImage(CImageObj& target, CImageStream& stream);
bool EncodeJpegImage(CImageObj& source, CImageStream& stream);
} // namespace tavrin

#include "imaging/ImageCodecs.h"

#include "imaging/ImageGif.h"
#include "imaging/ImageJpeg.h"
#include "imaging/ImageObj.h"

namespace tavrin {

static const ImageCodec kCodecs[] = {
    {IMAGE_TYPE_GIF, DecodeGifImage, EncodeGifImage},
    {IMAGE_TYPE_JPEG, DecodeJpegImage, EncodeJpegImage},
};

const ImageCodec* FindImageCodec(DWORD type)
{
    for (const ImageCodec& codec : kCodecs)
        if (codec.type == type)
            return &codec;
    return nullptr;
}

const DWORD* ImageCodecTrialOrder()
{
    static const DWORD order[] = {IMAGE_TYPE_JPEG, IMAGE_TYPE_GIF, 0};
    return order;
}

} // namespace tavrin

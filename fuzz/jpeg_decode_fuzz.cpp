// Fuzzes the JPEG path of the image class: header, pixels, resampling and
// encoding of whatever decodes.
#include "imaging/ImageMemoryStream.h"
#include "imaging/ImageObj.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Size first, so that huge (but allowed) pictures do not slow the run.
    {
        tavrin::ImageMemoryStream stream(data, size);
        CImageObj probe;
        probe.SetEscape(-1);
        if (!probe.Decode(stream, IMAGE_TYPE_JPEG))
            return 0;
        if (static_cast<uint64_t>(probe.GetWidth()) * probe.GetHeight() > 4000000)
            return 0;
    }
    tavrin::ImageMemoryStream stream(data, size);
    CImageObj image;
    if (!image.Decode(stream, IMAGE_TYPE_ANY))
        return 0;
    image.Resample(17, 13, 1);
    image.Resample(7, 5, 0);
    tavrin::ImageMemoryStream out;
    image.Encode(out, IMAGE_TYPE_JPEG);
    return 0;
}

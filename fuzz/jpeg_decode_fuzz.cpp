// Fuzzes the JPEG path of the image class: header, pixels, resampling and
// encoding of whatever decodes. A decoded image has the size its header
// declares, or the decode failed with an error text; what is encoded reads
// back at its size.
#include "fuzz/FuzzText.h"
#include "imaging/ImageMemoryStream.h"
#include "imaging/ImageObj.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The size the header declares, read first, so that huge (but allowed)
    // pictures do not slow the run.
    DWORD width = 0, height = 0;
    {
        tavrin::ImageMemoryStream stream(data, size);
        CImageObj probe;
        probe.SetEscape(-1);
        if (!probe.Decode(stream, IMAGE_TYPE_JPEG))
            return 0;
        width = probe.GetWidth();
        height = probe.GetHeight();
        if (static_cast<uint64_t>(width) * height > 4000000)
            return 0;
    }
    tavrin::ImageMemoryStream stream(data, size);
    CImageObj image;
    if (!image.Decode(stream, IMAGE_TYPE_JPEG)) {
        FUZZ_CHECK(image.GetLastError()[0] != '\0');
        return 0;
    }
    FUZZ_CHECK(image.GetWidth() == width && image.GetHeight() == height);

    FUZZ_CHECK(image.Resample(17, 13, 1));
    FUZZ_CHECK(image.GetWidth() == 17 && image.GetHeight() == 13);
    tavrin::ImageMemoryStream out;
    if (image.Encode(out, IMAGE_TYPE_JPEG)) {
        tavrin::ImageMemoryStream back(out.Bytes().data(), out.Bytes().size());
        CImageObj again;
        FUZZ_CHECK(again.Decode(back, IMAGE_TYPE_JPEG));
        FUZZ_CHECK(again.GetWidth() == 17 && again.GetHeight() == 13);
    }
    image.Resample(7, 5, 0);
    return 0;
}

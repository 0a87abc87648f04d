// Fuzzes the EXIF reader over the marker segments of a JPEG head, and the
// write-back of what it read.
#include "imaging/ImageMemoryStream.h"
#include "imaging/ImageExifInfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavrin::ImageMemoryStream stream(data, size);
    CImageExifInfo reader;
    if (reader.DecodeExif(stream, CImageExifInfo::READ_EXIF | CImageExifInfo::READ_IMAGE)) {
        tavrin::ImageMemoryStream out;
        reader.EncodeExif(out);
        reader.DiscardAllButExif();
    }
    return 0;
}

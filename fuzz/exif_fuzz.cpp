// Fuzzes the EXIF reader over the marker segments of a JPEG head, and the
// write-back of what it read.
#include "fuzz/MemoryImageStream.h"
#include "imaging/ImageExifInfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavrin::fuzz::MemoryImageStream stream(data, size);
    CImageExifInfo reader;
    if (reader.DecodeExif(stream, CImageExifInfo::READ_EXIF | CImageExifInfo::READ_IMAGE)) {
        tavrin::fuzz::MemoryImageStream out(nullptr, 0);
        reader.EncodeExif(out);
        reader.DiscardAllButExif();
    }
    return 0;
}

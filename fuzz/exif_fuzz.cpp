// Fuzzes the EXIF reader over the marker segments of a JPEG head, and the
// write-back of what it read. Every value read is in its range or absent
// (zero): texts end inside their fields, the orientation is 1-8, units are
// the known ones, numbers are finite, the thumbnail lies inside the EXIF
// segment; a failed read says why.
#include "fuzz/FuzzText.h"
#include "imaging/ImageExifInfo.h"
#include "imaging/ImageMemoryStream.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

template <size_t N>
bool Terminated(const char (&text)[N])
{
    return std::memchr(text, '\0', N) != nullptr;
}

bool KnownUnit(float unit)
{
    return unit == 0.0f || unit == 1.0f || unit == 0.3937007874f || unit == 0.03937007874f ||
           unit == 0.00003937007874f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavrin::ImageMemoryStream stream(data, size);
    CImageExifInfo reader;
    bool ok = reader.DecodeExif(stream, CImageExifInfo::READ_EXIF | CImageExifInfo::READ_IMAGE);
    const ImageExifBlock& b = reader.GetBlock();

    FUZZ_CHECK(Terminated(b.version) && Terminated(b.cameraMake) && Terminated(b.cameraModel) &&
               Terminated(b.dateTime) && Terminated(b.comments));
    FUZZ_CHECK(b.orientation >= 0 && b.orientation <= 8);
    FUZZ_CHECK(b.flashUsed == 0 || b.flashUsed == 1);
    FUZZ_CHECK(b.isExif == 0 || b.isExif == 1);
    FUZZ_CHECK(b.width >= 0 && b.width <= 65535 && b.height >= 0 && b.height <= 65535);
    FUZZ_CHECK(b.process == 0 || (b.process >= 0xC0 && b.process <= 0xCF));
    FUZZ_CHECK(KnownUnit(b.resolutionUnit) && KnownUnit(b.focalPlaneUnits));
    for (float v : {b.focalLength, b.exposureTime, b.apertureFNumber, b.distance, b.ccdWidth, b.exposureBias,
                    b.focalPlaneXRes, b.focalPlaneYRes, b.xResolution, b.yResolution, b.brightness})
        FUZZ_CHECK(std::isfinite(v));
    if (b.thumbnailSize > 0) {
        // Inside one of the EXIF segments read (a later one may have set it).
        bool inside = false;
        for (int i = 0; i < reader.GetSectionCount(); ++i) {
            const CImageExifInfo::Section& section = reader.GetSection(i);
            inside = inside || (section.type == 0xE1 &&
                                static_cast<uint64_t>(b.thumbnailOffset) + b.thumbnailSize <= section.size);
        }
        FUZZ_CHECK(inside);
    }
    FUZZ_CHECK(reader.GetSectionCount() >= 0 && reader.GetSectionCount() <= CImageExifInfo::MAX_SECTIONS);

    if (ok) {
        tavrin::ImageMemoryStream out;
        reader.EncodeExif(out);
        reader.DiscardAllButExif();
    } else {
        // A head that is no JPEG at all is simply not one; any other failure says why.
        FUZZ_CHECK(size < 2 || data[0] != 0xFF || data[1] != 0xD8 || reader.GetLastError()[0] != '\0');
    }
    return 0;
}

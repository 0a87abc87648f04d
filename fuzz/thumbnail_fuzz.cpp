// The thumbnail path on hostile picture files: the first input byte names
// the file ".jpg", ".gif" or neither, the rest is its content. The picture
// is decoded by its named type (a JPEG that fails is tried as GIF on the same
// object), resampled so its longer side is 120 pixels and encoded. A
// thumbnail written reads back at exactly the size its picture asks for; a
// failed one leaves no file behind.
#include "core/model/Thumbnail.h"
#include "fuzz/FuzzText.h"
#include "imaging/ImageMemoryStream.h"
#include "imaging/ImageObj.h"
#include "platform/base/Path.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = fuzz::TempFolder("tavrin-fuzz-thumb");
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char* const kNames[] = {"pic.jpg", "pic.gif", "pic.JPEG", "pic.bmp"};
    const char* name = kNames[data[0] % 4];
    ++data;
    --size;

    // Huge (but allowed) pictures only slow the run down.
    for (DWORD type : {IMAGE_TYPE_JPEG, IMAGE_TYPE_GIF}) {
        tavrin::ImageMemoryStream stream(data, size);
        CImageObj probe;
        probe.SetEscape(-1);
        if (probe.Decode(stream, type) && static_cast<uint64_t>(probe.GetWidth()) * probe.GetHeight() > 4000000)
            return 0;
    }

    std::error_code error;
    std::filesystem::remove_all(Folder(), error);
    std::filesystem::create_directories(Folder(), error);
    const std::filesystem::path picture = Folder() / name;
    const std::filesystem::path thumbnail = Folder() / (std::string("s_") + name);
    {
        std::ofstream out(picture, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const CString path = tavrin::ProgramPath(picture.string());

    CImageObj original;
    bool loaded = original.Load(path, tavrin::ThumbnailImageType(path));
    // A picture read as JPEG that fails says why (a GIF's failure may not).
    FUZZ_CHECK(loaded || tavrin::ThumbnailImageType(path) != IMAGE_TYPE_JPEG || original.GetLastError()[0] != '\0');

    BOOL made = tavrin::MakeThumbnail(path);
    FUZZ_CHECK(!made || loaded);
    FUZZ_CHECK(std::filesystem::exists(thumbnail) == (made != FALSE));
    if (made) {
        LONG width = 0, height = 0;
        tavrin::ThumbnailSize(original.GetWidth(), original.GetHeight(), &width, &height);
        FUZZ_CHECK(width <= tavrin::kThumbnailSide && height <= tavrin::kThumbnailSide);
        CImageObj small;
        FUZZ_CHECK(small.Load(tavrin::ProgramPath(thumbnail.string()), tavrin::ThumbnailImageType(path)));
        FUZZ_CHECK(small.GetWidth() == static_cast<DWORD>(width) && small.GetHeight() == static_cast<DWORD>(height));
    }
    // Only the thumbnail is written beside the picture.
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(Folder(), error)) {
        (void)entry;
        ++files;
    }
    FUZZ_CHECK(files == (made ? 2 : 1));
    return 0;
}

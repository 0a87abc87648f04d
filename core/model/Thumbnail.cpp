#include "core/model/Thumbnail.h"

#include "imaging/ImageObj.h"
#include "platform/base/FileApi.h"
#include "platform/base/FileFind.h"

#include <cstring>
#include <vector>

namespace tavrin {

namespace {

bool EndsWith(const CString& lower, const char* suffix)
{
    int n = static_cast<int>(strlen(suffix));
    return lower.GetLength() >= n && lower.Right(n) == suffix;
}

bool FileExists(const CString& path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

DWORD ThumbnailImageType(const CString& path)
{
    CString lower = path;
    lower.MakeLower();
    if (EndsWith(lower, ".jpg") || EndsWith(lower, ".jpeg"))
        return IMAGE_TYPE_JPEG;
    if (EndsWith(lower, ".gif"))
        return IMAGE_TYPE_GIF;
    // Any other file is tried as JPEG; the loader falls back to every codec.
    return IMAGE_TYPE_JPEG;
}

void ThumbnailSize(DWORD width, DWORD height, LONG* newWidth, LONG* newHeight)
{
    if (width == 0 || height == 0) {
        *newWidth = static_cast<LONG>(width);
        *newHeight = static_cast<LONG>(height);
        return;
    }
    double s = static_cast<double>(kThumbnailSide) / width;
    double t = static_cast<double>(kThumbnailSide) / height;
    double scale = t <= s ? t : s;
    // Truncated toward zero, as the stored thumbnails always were; a very
    // narrow picture keeps one pixel of its short side.
    LONG w = static_cast<LONG>(width * scale);
    LONG h = static_cast<LONG>(height * scale);
    *newWidth = w < 1 ? 1 : w;
    *newHeight = h < 1 ? 1 : h;
}

CString ThumbnailPath(const CString& path)
{
    CString result = path;
    result.Insert(path.ReverseFind('\\') + 1, "s_");
    return result;
}

BYTE ThumbnailJpegScale(DWORD width, DWORD height, LONG newWidth, LONG newHeight)
{
    for (DWORD denominator : {8u, 4u, 2u}) {
        // The codec rounds a reduced side up.
        DWORD w = (width + denominator - 1) / denominator;
        DWORD h = (height + denominator - 1) / denominator;
        if (w >= static_cast<DWORD>(newWidth) && h >= static_cast<DWORD>(newHeight))
            return static_cast<BYTE>(denominator);
    }
    return 0;
}

BOOL MakeThumbnail(const CString& path)
{
    DWORD type = ThumbnailImageType(path);
    // The header alone gives the size; a camera photo is then decoded at an
    // eighth or a quarter of it instead of whole.
    CImageObj probe(IMAGE_TYPE_ANY);
    probe.SetEscape(-1);
    BYTE scale = 0;
    LONG newWidth = 0, newHeight = 0;
    if (probe.Load(path, type)) {
        ThumbnailSize(probe.GetWidth(), probe.GetHeight(), &newWidth, &newHeight);
        scale = ThumbnailJpegScale(probe.GetWidth(), probe.GetHeight(), newWidth, newHeight);
    }

    CImageObj image(IMAGE_TYPE_ANY);
    image.SetJpegScale(scale); // only the JPEG codec reads it
    if (!image.Load(path, type))
        return FALSE;
    // A reduced JPEG decode has the photo's size in its header; every other
    // decode is whole.
    bool reduced = scale != 0 && image.GetType() == IMAGE_TYPE_JPEG;
    DWORD width = reduced ? probe.GetWidth() : image.GetWidth();
    DWORD height = reduced ? probe.GetHeight() : image.GetHeight();
    ThumbnailSize(width, height, &newWidth, &newHeight);
    if (static_cast<DWORD>(newWidth) == width && static_cast<DWORD>(newHeight) == height)
        return FALSE;
    if (!image.Resample(newWidth, newHeight, 1))
        return FALSE;
    // Save writes a temporary file and renames it only when the encoding
    // succeeded, so a failed save leaves no thumbnail to be trusted later.
    return image.Save(ThumbnailPath(path), type) ? TRUE : FALSE;
}

int MakeMissingThumbnails(const CString& folder)
{
    std::vector<FindEntry> entries;
    if (!FindEntries(folder + "\\*.*", entries))
        return 0;
    std::vector<CString> names;
    for (const FindEntry& entry : entries) {
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(entry.name);
    }
    int written = 0;
    for (const CString& name : names) {
        CString path = folder + "\\" + name;
        if (FileExists(ThumbnailPath(path)))
            continue;
        // A thumbnail is never given a thumbnail of its own.
        if (name.GetLength() > 2 && name.Left(2) == "s_" && FileExists(folder + "\\" + name.Mid(2)))
            continue;
        if (MakeThumbnail(path))
            ++written;
    }
    return written;
}

} // namespace tavrin

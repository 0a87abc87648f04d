// The photo thumbnails of a class's "pictures" folder: every picture gets a
// copy named "s_" + its file name whose longer side is 120 pixels.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

namespace tavrin {

// The side the longer side of a thumbnail gets.
constexpr int kThumbnailSide = 120;

// The image type a picture is read and its thumbnail written as, from the
// end of its path: GIF for ".gif", JPEG for everything else.
DWORD ThumbnailImageType(const CString& path);

// The thumbnail size of a width x height picture: scaled by the smaller of
// 120 / width and 120 / height, truncated, each side at least 1 pixel.
void ThumbnailSize(DWORD width, DWORD height, LONG* newWidth, LONG* newHeight);

// The JPEG scale denominator (8, 4 or 2; 0 for full size) of the smallest
// reduced decode of a width x height photo that still covers the thumbnail.
BYTE ThumbnailJpegScale(DWORD width, DWORD height, LONG newWidth, LONG newHeight);

// The thumbnail path of a picture: "s_" inserted after the last backslash.
CString ThumbnailPath(const CString& path);

// Makes the thumbnail of one picture (GBK path) unless its size would not
// change. The thumbnail is written whole or not at all. TRUE when written.
BOOL MakeThumbnail(const CString& path);

// Makes the missing thumbnails of every file in the folder (GBK, no trailing
// backslash), in name order. A file whose thumbnail exists is skipped, and so
// is a thumbnail itself (an "s_" file whose picture lies beside it). Returns
// the number written.
int MakeMissingThumbnails(const CString& folder);

} // namespace tavrin

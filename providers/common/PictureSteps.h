// What the providers' photo stores do alike: the download states and paging
// text of their pages, the save at the end of an update, and the details
// update that follows a comment.
#pragma once

#include "platform/base/String.h"

#include <functional>

class CPictureStore;
class CXmlFile;

namespace tavrin {

// One of the three download states; anything else a file may hold counts as
// not downloaded.
CString DownloadState(const CString& status);
// The pages' position text: the GBK words for "current", then "%d/%d".
CString PagePosition(int current, int total);
CString DecimalText(int value);
// Whether path names a file, not a folder.
bool IsPlainFile(const CString& path);
// Saves picture.xml when it is modified and "picture" holds an "item" or
// the "last" mark.
void SavePicturesIfModified(CXmlFile& xml);
// The position text of the listed photo with this custo_id ("0/n" when it
// is not listed).
CString ListPosition(CPictureStore& store, const CString& custoId);

// One photo of the thumbnail grid.
struct ThumbnailEntry {
    CString file; // relative to the class's "pictures" folder
    CString title;
    CString id;
};

// The thumbnail page ("\styles\common\thumbnail.html") of up to perPage
// listed photos from first: entryOf makes a photo's entry by its custo_id,
// or leaves the photo out with false. The three lists are joined by
// position, so an empty title keeps them aligned. Empty when the template
// cannot be read.
CString RenderThumbnailPage(CPictureStore& store, int first, int perPage, int columns,
                            const std::function<bool(const CString& custoId, ThumbnailEntry& entry)>& entryOf);

// After a comment on the photo with this provider id: a details update of
// that photo alone, when the store still lists it.
void StartPhotoDetails(CPictureStore& store, const CString& id);

} // namespace tavrin

// Small rules of the 5460 photo album: the upload time's century, the local
// file name of a photo, and the placeholder images of the photo pages.
#pragma once

#include "platform/base/String.h"

namespace tavrin::p5460 {

// The index pages show upload times with a two-digit year ("05-12-31
// 10:20"): above 50 is the 1900s, else the 2000s. A time that does not
// begin with two digits stays as it is.
CString FullUploadTime(const CString& shown);

// The file name of a photo in the class's "pictures" folder: its id and the
// extension of its address when that is 1 to 5 letters or digits, else the
// id alone. Empty when the id is not a number, so that no remote text ever
// names a file.
CString PhotoFileName(const CString& id, const CString& url);

// The placeholder images, addressed from the "pictures" folder.
CString DetailPlaceholder(const CString& status);
CString ThumbnailPlaceholder(const CString& status);

} // namespace tavrin::p5460

namespace tavrin::p5460 {

// Whether an "http://" address names one of the provider's own hosts, which
// alone get the session cookie: the one check of every request that decides
// whether to send it (user information, port, letter case and a trailing dot
// handled as the HTTP client reads the address).
bool IsProviderUrl(const CString& url);

} // namespace tavrin::p5460

// The picture download that the providers' pages share: a remote picture
// stored in a class's "images" folder for a local page to show.
#pragma once

#include "platform/base/String.h"

class CHttpClient;

namespace tavrin {

enum class PictureFetch {
    Stored,  // the file holds the picture
    Failed,  // no picture: the page shows the missing picture instead
    Stopped, // the client was stopped; nothing more is to be fetched
};

// What a fetch saw, for callers that tell the kinds of failure apart.
struct PictureFetchDetail {
    bool answered = false; // the request succeeded (any status)
    int status = 0;
    bool emptyBody = false;
    bool writeFailed = false; // a picture came but could not be written
};

// Fetches address over client into folder (created when missing) as
// fileName, which the caller made with SafeFileName. A host that
// providerUrl does not call the provider's never sees the client's cookies,
// which are put back afterwards. Only a 2xx answer with a body is stored,
// in one step: an error page never becomes a picture and a failed write
// keeps the old file.
PictureFetch FetchPicture(CHttpClient& client, const CString& address, bool (*providerUrl)(const CString&),
                          const CString& folder, const CString& fileName, PictureFetchDetail* detail = nullptr);

} // namespace tavrin

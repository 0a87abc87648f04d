#include "providers/common/PictureFetch.h"

#include "core/services/FolderUtil.h"
#include "core/services/HttpClient.h"
#include "platform/base/AtomicWrite.h"

namespace tavrin {

PictureFetch FetchPicture(CHttpClient& client, const CString& address, bool (*providerUrl)(const CString&),
                          const CString& folder, const CString& fileName, PictureFetchDetail* detail)
{
    PictureFetchDetail seen;
    const bool foreign = !providerUrl(address);
    CString cookies;
    if (foreign) {
        cookies = client.GetCookies();
        client.ClearCookies();
    }
    CByteArray bytes;
    const BOOL ok = client.Request(address, "", bytes, "");
    if (foreign) {
        client.ClearCookies();
        client.AddCookie(cookies);
    }
    seen.answered = ok && !client.IsStopped();
    seen.status = seen.answered ? client.GetStatusCode() : 0;
    seen.emptyBody = bytes.GetSize() == 0;
    PictureFetch result = PictureFetch::Stored;
    if (client.IsStopped()) {
        result = PictureFetch::Stopped;
    } else if (!seen.answered || seen.status < 200 || seen.status >= 300 || seen.emptyBody) {
        result = PictureFetch::Failed;
    } else {
        CreateDirectoryPath(folder);
        if (!WriteFileAtomic(folder + "\\" + fileName, bytes.GetData(), static_cast<size_t>(bytes.GetSize()))) {
            seen.writeFailed = true;
            result = PictureFetch::Failed;
        }
    }
    if (detail)
        *detail = seen;
    return result;
}

} // namespace tavrin

#include "providers/common/PictureFetch.h"

#include "core/services/FolderUtil.h"
#include "core/services/HttpClient.h"
#include "platform/base/AtomicWrite.h"

namespace tavrin {

PictureFetch FetchPicture(CHttpClient& client, const CString& address, bool (*providerUrl)(const CString&),
                          const CString& folder, const CString& fileName)
{
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
    if (client.IsStopped())
        return PictureFetch::Stopped;
    const int status = client.GetStatusCode();
    if (!ok || status < 200 || status >= 300 || bytes.GetSize() == 0)
        return PictureFetch::Failed;
    CreateDirectoryPath(folder);
    if (!WriteFileAtomic(folder + "\\" + fileName, bytes.GetData(), static_cast<size_t>(bytes.GetSize())))
        return PictureFetch::Failed;
    return PictureFetch::Stored;
}

} // namespace tavrin

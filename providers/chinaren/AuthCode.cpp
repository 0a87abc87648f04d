#include "providers/chinaren/AuthCode.h"

#include "core/model/Account.h"
#include "core/model/ClassStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "core/services/FolderUtil.h"
#include "core/services/HttpClient.h"
#include "core/services/TextUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/FileApi.h"
#include "platform/base/Time.h"
#include "providers/chinaren/site.h"

#include <ctime>

namespace tavrin::chinaren {

bool IsSohuKind(const CString& provider)
{
    return provider == kSohuProvider;
}

CString AuthStamp()
{
    // Noon of 1970-01-01 in the machine's zone, as the site's own script
    // takes it; noon keeps the date 1970-01-01 in every zone.
    struct tm noon = {};
    noon.tm_year = 70;
    noon.tm_mon = 0;
    noon.tm_mday = 1;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    const long long base = static_cast<long long>(mktime(&noon));
    const long long now = CTime::GetCurrentTime().GetTime();
    const long long zone = StoreTextNumber(GetConfig(CFG_OTHER_TIME_ZONE));
    const long long value = now - base - zone * 3600 + 14400;
    // All 64 bits: the stamp must not wrap in 2038.
    CString stamp;
    stamp.Format("%lld500", value);
    return stamp;
}

CString AuthImageUrl(const char* kind, const CString& classId, const CString& userName, bool sohu,
                     const CString& key)
{
    CString user = userName;
    user.MakeLower();
    CString url;
    url.Format("http://%s/verifyimg?%s%s%s%s%s", kVerifyHost, kind, classId, user, sohu ? "@sohu" : "", key);
    return url;
}

bool IsAcceptedAuthImage(bool requested, int status, const CByteArray& body)
{
    return requested && status == 200 &&
           IsGifSignature(body.GetData(), static_cast<int>(body.GetSize()));
}

bool StoreAuthImage(const CString& folder, const CString& path, const CByteArray& body)
{
    if (!CreateDirectoryPath(folder))
        return false;
    return WriteFileAtomic(path, body.GetData(), static_cast<size_t>(body.GetSize()));
}

bool FetchAuthImage(CHttpClient* client, CClassStore* store, const char* kind)
{
    CSchoolClass* schoolClass = store ? store->GetSchoolClass() : nullptr;
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (!client || !account)
        return false;
    return RenewAuthImage(*account, schoolClass, kind, *client, AuthRenewal());
}

bool RefreshRejectedCode(CHttpClient* client, CClassStore* store, const char* kind, const CString& currentId)
{
    CSchoolClass* schoolClass = store ? store->GetSchoolClass() : nullptr;
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (!client || !account)
        return false;
    store->SetAuthCode("", "");
    AuthRenewal how;
    how.newKey = true;
    how.deleteFirst = true;
    if (!RenewAuthImage(*account, schoolClass, kind, *client, how))
        return false;
    if (!currentId.IsEmpty())
        store->SetCurrentCustoId(currentId);
    return true;
}

bool RenewAuthImage(CAccount& account, CSchoolClass* schoolClass, const char* kind, CHttpClient& client,
                    const AuthRenewal& how)
{
    const bool photo = CString(kind) == kPhotoAuthKind;
    auto storeOf = [photo](CSchoolClass* c) -> CClassStore* {
        return photo ? static_cast<CClassStore*>(c->GetPictureStore()) : c->GetMessageStore();
    };
    CClassStore* store = nullptr;
    CString key;
    CString url;
    CString folder;
    CString path;
    {
        CAccount::ClassesLock classes = account.LockClasses();
        if (!schoolClass || !account.HasClass(schoolClass) || !(store = storeOf(schoolClass)))
            return false;
        if (how.newKey)
            store->SetAuthKey(store->GetAuthTime(), "");
        key = store->GetAuthKey("");
        const CString id = schoolClass->GetId();
        if (!IsSafeClassId(id))
            return false;
        url = AuthImageUrl(kind, id, account.GetUserName(), IsSohuKind(account.GetProvider()), key);
        folder.Format("%s\\%s", account.GetDataFolder(), id);
        path = store->GetAuthImagePath("");
        if (how.deleteFirst)
            DeleteFile(path);
    }
    CByteArray body;
    const bool requested = client.Request(url, "", body, "") && !client.IsStopped();
    if (!IsAcceptedAuthImage(requested, client.GetStatusCode(), body))
        return false;
    // A picture for an old key, or for a class that is gone, would be wrong
    // or written through freed memory.
    CAccount::ClassesLock classes = account.LockClasses();
    if (!account.HasClass(schoolClass) || storeOf(schoolClass) != store || store->GetAuthKey("") != key)
        return false;
    if (how.clearCode)
        store->SetAuthCode("", "");
    return StoreAuthImage(folder, path, body);
}

} // namespace tavrin::chinaren

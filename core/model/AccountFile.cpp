// The account file "tavrin.xml": sign-in data, cookie, access protection and
// the identities of the classes. Read when the account list loads, written
// when it is destroyed.
#include "core/model/Account.h"

#include "core/model/AccessRecord.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/CookieJar.h"
#include "core/services/FolderUtil.h"
#include "core/services/Password.h"
#include "core/services/XmlCursor.h"

#include <cstdlib>

namespace {

const char kAccountFileName[] = "\\tavrin.xml";

// The decimal value of a fixed-width field; a leading part that is not a
// number gives 0.
int Field(const CString& text, int first, int count)
{
    return atoi(text.Mid(first, count));
}

void AddIfNotEmpty(CXmlCursor& cursor, const char* name, const CString& value)
{
    if (!value.IsEmpty())
        cursor.AddChildElem(name, value);
}

} // namespace

BOOL CAccount::SaveAccountFile()
{
    CString folder = GetDataFolder();
    if (!CreateDirectoryPath(folder))
        return FALSE;
    CXmlFile file;
    file.Clear();
    CXmlCursor cursor(file);
    file.ResetPos(cursor.GetId());
    cursor.FindChildElem("account", TRUE);
    cursor.FindChildElem("global", TRUE);
    CString cookie = GetCookie();
    CString password = GetPassword();
    cursor.AddChildElem("provider", GetProvider());
    cursor.AddChildElem("user_name", GetUserName());
    cursor.AddChildElem("password", EncryptPassword(password));
    cursor.AddChildElem("user_id", GetUserId());
    cursor.AddChildElem("real_name", GetRealName());
    cursor.AddChildElem("custo_name", GetCustoName());
    cursor.AddChildElem("cookie", cookie);
    cursor.AddChildElem("cookie_time", GetCookieTime().Format("%Y%m%d%H%M%S"));
    cursor.AddChildElem("access", EncryptPassword(tavrin::MakeAccessRecord(cookie, password, GetAccessPassword(),
                                                                           IsAccessEnabled())));
    file.OutOfElem(cursor.GetId());

    // Each class goes before the first class element, from the last to the
    // first, so they end up before global and in array order.
    ClassesLock lock = LockClasses();
    for (int i = GetClassCount() - 1; i >= 0; --i) {
        CSchoolClass* schoolClass = GetClassAt(i);
        if (!cursor.InsertChildElemBefore("class", "class") || !cursor.FindChildElem("class"))
            return FALSE;
        cursor.SetAttrib("id", schoolClass->GetId());
        cursor.AddChildElem("school_name", schoolClass->GetSchoolName());
        cursor.AddChildElem("school_id", schoolClass->GetSchoolId());
        cursor.AddChildElem("name", schoolClass->GetName());
        cursor.AddChildElem("custo_name", schoolClass->GetCustoName());
        if (CMessageStore* store = schoolClass->GetMessageStore()) {
            AddIfNotEmpty(cursor, "message_auth_code", store->GetAuthCode(CString()));
            AddIfNotEmpty(cursor, "message_auth_key", store->GetAuthKey(CString()));
        }
        if (CPictureStore* store = schoolClass->GetPictureStore()) {
            AddIfNotEmpty(cursor, "picture_auth_code", store->GetAuthCode(CString()));
            AddIfNotEmpty(cursor, "picture_auth_key", store->GetAuthKey(CString()));
        }
        file.OutOfElem(cursor.GetId());
    }
    lock.unlock();
    return file.SaveAs(folder + kAccountFileName);
}

int CAccount::LoadAccountFile()
{
    CXmlFile file;
    CXmlCursor cursor(file);
    if (!cursor.Load(GetDataFolder() + kAccountFileName, FALSE))
        return 0;
    file.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("account") || !cursor.FindChildElem("global"))
        return 0;

    SetProvider(cursor.GetChildData("provider"));
    CString cookie = cursor.GetChildData("cookie");
    CString password = DecryptPassword(cursor.GetChildData("password"));
    SetUserNameAndPassword(cursor.GetChildData("user_name"), password);
    SetUserId(cursor.GetChildData("user_id"));
    SetRealName(cursor.GetChildData("real_name"));
    SetCustoName(cursor.GetChildData("custo_name"));
    // The record was made with the stored text; the account keeps only what
    // a request may carry.
    SetCookie(CString(tavrin::CookieJar::Checked(cookie.View())));

    CString cookieTime = cursor.GetChildData("cookie_time");
    if (cookieTime.GetLength() >= 14) {
        CTime time(Field(cookieTime, 0, 4), Field(cookieTime, 4, 2), Field(cookieTime, 6, 2), Field(cookieTime, 8, 2),
                   Field(cookieTime, 10, 2), Field(cookieTime, 12, 2));
        // A time that cannot be built keeps the initial one, so the next
        // operation signs in afresh.
        if (time.IsValid())
            SetCookieTime(time);
    }

    tavrin::AccessState access =
        tavrin::ReadAccessRecord(DecryptPassword(cursor.GetChildData("access")), cookie, password);
    SetAccessEnabled(access.enabled);
    SetAccessPassword(access.password);
    SetLocked(access.locked);

    file.OutOfElem(cursor.GetId());
    if (cursor.FindChildElem("class")) {
        do {
            // The id names a folder: a hand-edited file must not reach outside.
            CString id = cursor.GetAttrib("id");
            if (!IsSafeClassId(id) || FindClass(id))
                continue;
            CSchoolClass* schoolClass = CreateClass();
            if (!schoolClass)
                continue;
            schoolClass->SetAccount(this);
            schoolClass->SetId(id);
            if (!schoolClass->LoadFromAccountFile()) {
                delete schoolClass;
                continue;
            }
            AddClass(schoolClass);
        } while (file.FindNextElem(TRUE, cursor.GetId()));
    }
    return 1;
}

int CAccount::Load(const CString& folder)
{
    SetDataFolder(folder);
    return LoadAccountFile();
}

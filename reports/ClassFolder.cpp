#include "reports/ClassFolder.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"

namespace tavrin::reports {

bool GetClassFolder(CSchoolClass* schoolClass, CString& folder)
{
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (!account)
        return false;
    CString data = account->GetDataFolder();
    CString id = schoolClass->GetId();
    if (data.IsEmpty() || !IsSafeClassId(id))
        return false;
    folder = data + "\\" + id;
    return true;
}

} // namespace tavrin::reports

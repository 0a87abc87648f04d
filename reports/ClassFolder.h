// Where a class keeps its files: the account's data folder and the class id.
#pragma once

#include "platform/base/String.h"

class CSchoolClass;

namespace tavrin::reports {

// False without an account, a data folder or a safe class id: nothing may be
// written then.
bool GetClassFolder(CSchoolClass* schoolClass, CString& folder);

} // namespace tavrin::reports

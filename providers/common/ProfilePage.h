// What the providers' personal-profile operations share: the status page
// and the filled page in the account's "profile.htm", the reading time, and
// the account events.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

class CAccount;

namespace tavrin {

// The common status template with every "[当前状态]" replaced by status,
// written as "profile.htm" of the data folder; false when the template
// cannot be read or the page not written.
bool WriteProfileStatus(const CString& dataFolder, const char* status);
// Writes page as "profile.htm" of the data folder, creating the folder.
bool WriteProfilePage(const CString& dataFolder, const CString& page);
// The local time now as "%.4d年%.2d月%.2d日 %.2d:%.2d:%.2d".
CString ProfileReadTime();
// Posts WM_ACCOUNT_EVENT with code to the account's notify window.
void PostAccountEvent(CAccount* account, WPARAM code);

} // namespace tavrin

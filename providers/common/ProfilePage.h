// What the providers' personal-profile operations share: the status page
// and the filled page in the account's "profile.htm", the reading time, and
// the account events.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

class CAccount;
class CHttpClient;

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

// The start of a profile read or update: the log line, the status page
// (event 4 when written), and the client readied with the proxy and the
// account's cookie (its stop kept while the account closes).
void BeginProfileRun(CAccount& account, CHttpClient& client, const char* line, const char* status);
// Writes the filled profile page when the read gave a usable page and logs
// the outcome; true when written.
bool WriteReadProfile(CAccount& account, bool usable, const CString& page);
// The end of a read: the failure status page unless read, then event 2.
void EndProfileRead(CAccount& account, bool read);
// The end of an update: the failure status page (event 4 when written)
// unless updated, then event 3.
void EndProfileUpdate(CAccount& account, bool updated);

} // namespace tavrin

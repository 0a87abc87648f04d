// What every provider store's operations do through their class and
// account: log lines, class events, sign-in.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

#include <vector>

class CClassStore;
class CHttpClient;
class CXmlFile;

namespace tavrin {

// To the class log of the store's class.
void LogToClass(CClassStore& store, const CString& text);
// WM_CLASS_EVENT with code to the account's notify window, posted or sent
// (a send waits until the window has handled it).
void PostClassEvent(CClassStore& store, WPARAM code);
void SendClassEvent(CClassStore& store, WPARAM code);
// The account's sign-in with client; 0 without an account.
int SignInFor(CClassStore& store, CHttpClient* client);

// The positive custo_ids of the message items, as stored, ascending: the
// message pages walk down them instead of through numbers nobody has.
std::vector<long long> StoredMessageNumbers(CXmlFile& xml);

} // namespace tavrin

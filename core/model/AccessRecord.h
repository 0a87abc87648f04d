// The access record of an account file: ties the access password and the
// protection switch to the cookie and password stored beside it, so that a
// hand-edited cookie or password, or an access element copied from another
// account, locks the account.
//
// Plain form (enciphered with EncryptPassword in the file):
//   "<cookie bytes>:<password bytes>:<access password bytes>:" cookie
//   password access-password, then "1" (protection on) or "0".
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

namespace tavrin {

// Set whenever a record does not match (58 characters, the last a space).
extern const char kDefaultAccessPassword[];

struct AccessState {
    BOOL locked = FALSE;
    BOOL enabled = FALSE;
    CString password;
};

CString MakeAccessRecord(const CString& cookie, const CString& password, const CString& accessPassword,
                         BOOL enabled);

// Reads a deciphered record against the stored cookie and password. A record
// that does not match, or whose counts do not fit its text, locks the account
// with the default access password. An empty record (no access element)
// matches only an empty cookie and password, and leaves the account open.
AccessState ReadAccessRecord(const CString& record, const CString& cookie, const CString& password);

} // namespace tavrin

// Verification codes: the stamp that a picture request and the later post
// both carry, the picture's address, and the test and storing of the
// picture that the site serves.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"

class CAccount;
class CClassStore;
class CHttpClient;
class CSchoolClass;

namespace tavrin::chinaren {

// The kinds of verification picture: new messages and replies, photo comments.
inline constexpr char kMessageAuthKind[] = "lw";
inline constexpr char kPhotoAuthKind[] = "cp";

// Whether the provider type name is the Sohu kind (exact bytes).
bool IsSohuKind(const CString& provider);

// The stamp of a new verification key: the current Unix time as the site
// counts it (the machine's zone, corrected by the time-difference setting to
// Beijing time) followed by "500".
CString AuthStamp();

// "http://" verification host "/verifyimg?" kind, class id, the user name
// lower-cased (double-byte characters whole; "@sohu" after it for the Sohu
// kind) and the key, inserted as they are.
CString AuthImageUrl(const char* kind, const CString& classId, const CString& userName, bool sohu,
                     const CString& key);

// An answer is a picture only when the request succeeded with status 200 and
// the body begins with a GIF signature.
bool IsAcceptedAuthImage(bool requested, int status, const CByteArray& body);

// Writes the picture in one step into path, creating folder first; the old
// file stays when the write fails.
bool StoreAuthImage(const CString& folder, const CString& path, const CByteArray& body);

// How a class's picture is renewed: the sign-in gives the message store a
// new key and clears the typed code once the picture came; the class list
// drops the old picture before it asks.
struct AuthRenewal {
    bool newKey = false;
    bool clearCode = false;
    bool deleteFirst = false;
};

// Renews the picture of kind for a class of the account over the signed-in
// client. The store is read and written only under the account's class lock
// and only while the class is the account's; the request runs without the
// lock, and its picture is kept only when the store's key is still the one
// asked for. True when the picture was stored.
bool RenewAuthImage(CAccount& account, CSchoolClass* schoolClass, const char* kind, CHttpClient& client,
                    const AuthRenewal& how);

// Requests the picture of kind for the store's current key over the prepared
// and signed-in client, and stores it at the store's picture path when it
// is accepted (RenewAuthImage without a new key). Changes neither key, code
// nor the client's settings.
bool FetchAuthImage(CHttpClient* client, CClassStore* store, const char* kind);

// After the site rejected a code: the store's code is cleared, it gets a new
// key, its picture is deleted and the picture of the new key requested over
// the still signed-in client. When the picture was stored and currentId (the
// item the post aimed at) is not empty, the store's current item is set back
// to it. True when a new picture was stored; the caller posts its event.
bool RefreshRejectedCode(CHttpClient* client, CClassStore* store, const char* kind, const CString& currentId);

} // namespace tavrin::chinaren

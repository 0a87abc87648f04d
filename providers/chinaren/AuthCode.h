// Verification codes: the stamp that a picture request and the later post
// both carry, the picture's address, and the test and storing of the
// picture that the site serves.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"

class CAccount;
class CClassStore;
class CHttpClient;

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

// Requests the picture of kind for the store's current key over the prepared
// and signed-in client, and stores it at the store's picture path when it
// is accepted. Changes neither key, code nor the client's settings.
bool FetchAuthImage(CHttpClient* client, CClassStore* store, const char* kind);

} // namespace tavrin::chinaren

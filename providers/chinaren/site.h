// The ChinaRen site's host names and the mail domains of its two user kinds,
// in one place: the provider builds its addresses from them and the test
// simulator serves them.
#pragma once

namespace tavrin::chinaren {

// The passport: the sign-in form "/login.jsp".
inline constexpr char kPassportHost[] = "passport.chinaren.com";
// Named only inside the sign-in form's return address ("/urs/setcookie.jsp").
inline constexpr char kProfileHost[] = "profile.chinaren.com";
// The class pages ("/index.jsp", "/class/", "/online/").
inline constexpr char kClassHost[] = "class.chinaren.com";
// Verification pictures ("/verifyimg?").
inline constexpr char kVerifyHost[] = "vcode.chinaren.com";
// The album pages ("/album/").
inline constexpr char kAlbumHost[] = "alumni.chinaren.com";
// The album's photo data and comment scripts.
inline constexpr char kAlbumDataHost[] = "albumdata.chinaren.com";
// The numbered album image hosts: the HOST number of a photo record goes
// in place of %s ("/album/pic/").
inline constexpr char kAlbumImageHostFormat[] = "photo%s.chinaren.com";
// The provider image hosts of the two kinds: pictures, icons and sounds.
inline constexpr char kImageHost[] = "img.chinaren.com";
inline constexpr char kSohuImageHost[] = "img.sohu.com";

// The text after "@" in the passport's loginid.
inline constexpr char kMailDomain[] = "chinaren.com";
inline constexpr char kSohuMailDomain[] = "sohu.com";

// The provider type name of the Sohu kind; every other name is the ChinaRen kind.
inline constexpr char kSohuProvider[] = "ChinaRen(Sohu用户)";

} // namespace tavrin::chinaren

#include "platform/base/String.h"

namespace tavrin::chinaren {

// Whether a request to url may carry the sign-in cookie: an address on one
// of the site's own hosts (see ProviderUrl.h).
bool IsChinaRenUrl(const CString& url);

} // namespace tavrin::chinaren

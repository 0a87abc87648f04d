// The 5460 provider's host names, in one place: the provider code builds its
// URLs from them and the test simulator serves them. Every page lies under
// kBasePath on one of the two web hosts, which serve the same pages.
#pragma once

namespace tavrin::p5460 {

// Accounts of every 5460 type but the second.
inline constexpr char kWebHost1[] = "www.5460.net";
// Accounts of the 5460 type for Netcom users.
inline constexpr char kWebHost2[] = "cnc.5460.net";
// Photo uploads.
inline constexpr char kUploadHost[] = "upload.5460.net";
// Pictures embedded in messages ("/images/baoyue/" and the like).
inline constexpr char kImageHost[] = "image.5460.net";

inline constexpr char kBasePath[] = "/gy5460/jsp/";

} // namespace tavrin::p5460

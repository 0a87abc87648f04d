// URL handling shared by both engines, so an event looks the same whichever
// engine raised it. Engine-side URLs are UTF-8 and percent-encoded the way a
// browser serialises them; the program sees them decoded and in GBK.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::browser {

// A program path (GBK, '\') becomes a file: URL; text that already has a
// scheme (two letters or more before ':') is taken as a URL (GBK converted to
// UTF-8). Empty when the target is empty or not valid GBK.
std::string UrlFromTarget(std::string_view gbkTarget);

// What the program sees of an engine URL: percent-decoded, then converted
// from UTF-8 to GBK. Decoded bytes that are not UTF-8 are GBK already and
// stay as they are. The query of a form sent with GET is encoded in the
// form's charset: with formCharset "GBK" its bytes are kept as they are.
std::string ProgramUrl(std::string_view url, std::string_view formCharset = {});

// Percent-encodes what a browser encodes when it serialises a URL: bytes
// outside printable ASCII, spaces, quotes and angle brackets.
std::string EncodeUrl(std::string_view utf8);

// Resolves a link of a page against the page's URL (UTF-8). Leading and
// trailing spaces and embedded tabs and line breaks are dropped first.
std::string ResolveUrl(std::string_view base, std::string_view href);

// True for our own generated pages: local files.
bool IsLocalPage(std::string_view url);
// True for the program's own "tavrin:" actions (scheme compared without case).
bool IsProgramAction(std::string_view url);

// The scheme of the program's actions, as registered with the engine.
inline constexpr const char* kActionScheme = "tavrin";

} // namespace tavrin::browser

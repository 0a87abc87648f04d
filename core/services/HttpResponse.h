// The byte-level side of an HTTP response as CHttpClient judges it: where the
// header ends, the status code, header values and where a Location leads.
// Pure functions over the received bytes, so the fuzz target reaches them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin::http {

constexpr size_t kNoHeaderEnd = std::string_view::npos;

// Offset of the first "\r\n\r\n" that starts at or after from; kNoHeaderEnd
// when there is none.
size_t FindHeaderEnd(std::string_view bytes, size_t from = 0);

// The three characters after the first blank of the status line (the header
// up to its first CR LF) read as a decimal number; 0 when they are not three
// digits.
int StatusCode(std::string_view header);

// The value of the header lines named name. The name may be given as
// "Set-Cookie: ", "Set-Cookie:" or "set-cookie"; it matches whole names at
// the start of a line, whatever their case. Values run from after the colon
// and its blanks to the line end, trailing blanks cut, in the case received.
// Set-Cookie: each value is cut after its first ";" (a value without one is
// taken whole and given one), a cookie whose value is "deleted" is dropped,
// and every piece is followed by a blank. Other names: the values of every
// line, concatenated. No such line: "" ("-1" for Content-Length).
std::string HeaderValue(std::string_view header, std::string_view name);

// The body length a header announces: -1 when it has no Content-Length, one
// that is not a plain decimal number, or several that disagree.
int64_t ContentLength(std::string_view header);

// The URL that a Location value leads to from the current URL: an absolute
// URL as it is, "//host/..." with the http scheme, "/path" on the current
// scheme, host and port, "?query" on the current path, and anything else
// relative to the directory of the current path. Empty for an empty value.
std::string ResolveLocation(std::string_view currentUrl, std::string_view location);

} // namespace tavrin::http

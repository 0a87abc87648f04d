// Rewrites a UTF-8 C++ source so that every non-ASCII character inside an
// ordinary narrow string or character literal becomes its GBK bytes as
// escapes. A compiler without a GBK execution charset (clang) then gives the
// same literal bytes as g++ with -fexec-charset=GBK. Comments, u8/u/U/L
// literals and everything outside literals are left as they are.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::tools {

struct EscapeResult {
    std::string text;
    std::string error; // empty on success: "line N: why"
};

EscapeResult EscapeLiterals(std::string_view source);

// The GBK bytes of UTF-8 text; false when a character has no GBK form.
bool Utf8ToGbk(std::string_view utf8, std::string& gbk);

} // namespace tavrin::tools

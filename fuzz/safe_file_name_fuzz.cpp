// File names made from remote text: whatever the text, the name is 1 to
// kMaxSafeFileName bytes of ASCII letters, digits, '-', '_' and '.', does not
// begin with '.', is the text itself when that already is such a name, and
// is stable (the same text gives the same name; a safe name maps to itself).
#include "fuzz/FuzzText.h"
#include "providers/common/SafeFileName.h"

#include <cstdint>
#include <string_view>

namespace {

bool IsWhitelisted(std::string_view name)
{
    if (name.empty() || name.size() > static_cast<size_t>(tavrin::kMaxSafeFileName) || name.front() == '.')
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
              c == '.'))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view remote(reinterpret_cast<const char*>(data), size);
    CString name = tavrin::SafeFileName(CString(remote));
    FUZZ_CHECK(IsWhitelisted(name.View()));
    FUZZ_CHECK(!IsWhitelisted(remote) || name.View() == remote);
    FUZZ_CHECK(tavrin::SafeFileName(CString(remote)).View() == name.View());
    FUZZ_CHECK(tavrin::SafeFileName(name).View() == name.View());
    return 0;
}

#include "providers/common/SafeFileName.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace tavrin {

namespace {

bool IsNameByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.';
}

bool IsAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

CString SafeFileName(const CString& remote)
{
    std::string_view name = remote.View();
    bool plain = !name.empty() && name.size() <= static_cast<size_t>(kMaxSafeFileName) && name.front() != '.';
    for (char c : name)
        plain = plain && IsNameByte(c);
    if (plain)
        return remote;

    // FNV-1a over every byte of the text.
    uint64_t hash = 1469598103934665603ull;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char text[32];
    std::snprintf(text, sizeof text, "f%016llx", static_cast<unsigned long long>(hash));
    CString result(text);
    // Keep a short extension of letters and digits, so the file keeps its type.
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot + 1 < name.size() && name.size() - dot - 1 <= 5) {
        std::string_view ext = name.substr(dot + 1);
        bool ok = true;
        for (char c : ext)
            ok = ok && IsAlnum(c);
        if (ok) {
            result += '.';
            result += CString(ext);
        }
    }
    return result;
}

} // namespace tavrin

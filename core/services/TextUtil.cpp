#include "core/services/TextUtil.h"

#include <cstring>
#include <string>

BOOL IsGifSignature(const BYTE* data, int length)
{
    if (!data || length < 6)
        return FALSE;
    return std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0;
}

CString UrlEncode(const CString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(static_cast<size_t>(text.GetLength()) * 3);
    for (char ch : text.View()) {
        unsigned char b = static_cast<unsigned char>(ch);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9')) {
            out += ch;
        } else if (b == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        }
    }
    return CString(std::move(out));
}

#include "platform/gdi/GbkText.h"

#include "platform/base/CodePage.h"
#include "platform/base/String.h"

namespace tavrin {

std::vector<TextChar> DecodeGbkText(std::string_view gbk)
{
    std::vector<TextChar> out;
    out.reserve(gbk.size());
    const char* end = gbk.data() + gbk.size();
    for (const char* p = gbk.data(); p < end;) {
        int n = CharLength(p, end);
        auto b = static_cast<unsigned char>(*p);
        char32_t code = b;
        if (b >= 0x80) {
            WCHAR w = 0;
            code = MultiByteToWideChar(CP_GBK, MB_ERR_INVALID_CHARS, p, n, &w, 1) == 1 ? char32_t(w) : 0xFFFD;
        }
        out.push_back({code, int(p - gbk.data()), n});
        p += n;
    }
    return out;
}

} // namespace tavrin

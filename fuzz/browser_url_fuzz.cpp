// URL decoding and link resolution on hostile pages: links and form actions
// of remote pages, and engine URLs carrying GBK or UTF-8 bytes. Input: the
// page URL, a line break, then the link.
#include "platform/base/CodePage.h"
#include "platform/browser/BrowserUrl.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// A failed property names itself, so a crash input tells what broke.
#define CHECK(cond)                                                                                      \
    do {                                                                                                 \
        if (!(cond)) {                                                                                   \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);           \
            std::abort();                                                                                \
        }                                                                                                \
    } while (0)

namespace {

// What an engine puts into a URL: printable ASCII only, no blanks or quotes.
bool IsEncoded(std::string_view s)
{
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`')
            return false;
    }
    return true;
}

bool HasScheme(std::string_view s)
{
    size_t colon = s.find(':');
    return colon != std::string_view::npos && colon >= 2 && s.find_first_of("/?#") > colon;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    size_t nl = bytes.find('\n');
    std::string_view base = bytes.substr(0, nl);
    std::string_view href = nl == std::string_view::npos ? std::string_view() : bytes.substr(nl + 1);

    // Decoding never grows the text: a UTF-8 character becomes at most as
    // many GBK bytes.
    for (std::string_view charset : {std::string_view(), std::string_view("GBK")})
        CHECK(tavrin::browser::ProgramUrl(bytes, charset).size() <= bytes.size());

    // GBK text that is not UTF-8 survives the trip through a URL unchanged;
    // so does any valid GBK text sent as UTF-8. (Path and query are told
    // apart on their own, so the text stops before a '?'.)
    std::string gbk(bytes.substr(0, bytes.find_first_of("%?")));
    std::string utf8 = tavrin::GbkToUtf8(gbk);
    if (tavrin::Utf8ToGbk(utf8) == gbk) {
        CHECK(tavrin::browser::ProgramUrl(tavrin::browser::EncodeUrl(utf8)) == gbk);
        bool isUtf8 = gbk.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, gbk.data(),
                                                         static_cast<int>(gbk.size()), nullptr, 0) > 0;
        if (!isUtf8)
            CHECK(tavrin::browser::ProgramUrl(tavrin::browser::EncodeUrl(gbk)) == gbk);
    }
    std::string query = "tavrin:x?" + tavrin::browser::EncodeUrl(gbk.substr(0, gbk.find('#')));
    CHECK(tavrin::browser::ProgramUrl(query, "GBK") == "tavrin:x?" + gbk.substr(0, gbk.find('#')));

    // A link on an engine-made page resolves to an engine-made URL, and a
    // resolved absolute URL resolves to itself.
    std::string resolved = tavrin::browser::ResolveUrl(base, href);
    if (IsEncoded(base)) {
        CHECK(IsEncoded(resolved));
        if (HasScheme(base) && HasScheme(resolved))
            CHECK(tavrin::browser::ResolveUrl(base, resolved) == resolved);
    }
    (void)tavrin::browser::UrlFromTarget(bytes);
    (void)tavrin::browser::IsLocalPage(resolved);
    (void)tavrin::browser::IsProgramAction(resolved);
    return 0;
}

// The headless engine's page scanner on hostile pages: it must never crash,
// every text it reports must be UTF-8, and the forms it finds must build a
// body.
#include "platform/base/CodePage.h"
#include "platform/browser/FormBody.h"
#include "platform/browser/HtmlPage.h"

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

bool IsUtf8(const std::string& s)
{
    return s.empty() ||
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0) > 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string charset = tavrin::browser::DetectCharset(bytes);
    CHECK(charset == "GBK" || charset == "UTF-8");

    tavrin::browser::HtmlPage page = tavrin::browser::ParseHtml(bytes);
    CHECK(page.charset == charset);
    for (const auto& link : page.links)
        CHECK(IsUtf8(link.href) && IsUtf8(link.text));
    for (const auto& form : page.forms) {
        CHECK(IsUtf8(form.action));
        CHECK(form.method == "get" || form.method == "post");
        CHECK(form.enctype == "application/x-www-form-urlencoded" || form.enctype == "multipart/form-data" ||
              form.enctype == "text/plain");
        std::vector<tavrin::browser::FormEntry> entries;
        for (const auto& c : form.controls) {
            CHECK(!c.type.empty() && IsUtf8(c.name) && IsUtf8(c.value));
            for (const auto& o : c.options)
                CHECK(IsUtf8(o.value));
            entries.emplace_back(c.name, c.value);
        }
        (void)tavrin::browser::BuildFormBody(entries, form.enctype, page.charset, "b");
    }
    return 0;
}

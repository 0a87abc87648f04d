// The sanitiser admits the markup of our own rewrites exactly, and nothing
// that merely resembles it.
#include "providers/common/HtmlSanitizer.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

bool Sound(std::string_view tag)
{
    return tag == "bgsound";
}

bool Handlers(std::string_view tag, std::string_view attribute, std::string_view value)
{
    if (tag == "bgsound")
        return attribute == "src" && value == "local/a.mid";
    return tag == "img" && attribute == "onclick" && value == "ours(this)";
}

TEST(SanitizerOwnMarkup, AdmitsExactlyWhatTheTestsAdmit)
{
    OwnMarkup own;
    own.element = &Sound;
    own.attribute = &Handlers;
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"<img src=a.gif onclick=\"ours(this)\">", "<img src=a.gif onclick=\"ours(this)\">"},
        {"<IMG src=a.gif ONCLICK='ours(this)'>", "<IMG src=a.gif ONCLICK='ours(this)'>"},
        {"<img src=a.gif onclick=\"ours(this);evil()\">", "<img src=a.gif>"},
        {"<img src=a.gif onclick=ours(this)>", "<img src=a.gif>"},
        {"<bgsound src=local/a.mid>", "<bgsound>"},
        {"<img src=a.gif onerror=\"ours(this)\">", "<img src=a.gif>"},
        {"<a href=x onclick=\"ours(this)\">t</a>", "<a href=x>t</a>"},
        {"<bgsound src=\"local/a.mid\" loop=-1>", "<bgsound src=\"local/a.mid\">"},
        {"<bgsound src=\"http://evil.example/a.mid\">", "<bgsound>"},
        {"<bgsound src=\"local/a.mid\"></bgsound>", "<bgsound src=\"local/a.mid\"></bgsound>"},
        {"<embed src=\"local/a.mid\">", ""},
        {"<script>ours(this)</script>", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(SanitizeHtml(c.in, own), CString(c.out));
    }
    // Without the tests none of it passes.
    EXPECT_EQ(SanitizeHtml("<bgsound src=\"local/a.mid\"><img src=a.gif onclick=\"ours(this)\">"),
              CString("<img src=a.gif>"));
}

} // namespace
} // namespace tavrin

// The tag removers against their plain statement: search from the start of
// the text after every deletion. The first input byte picks the tag, the rest
// is the text. Equal on every input, in any letter case and with GBK
// characters, with nothing left for a second pass to remove.
#include "core/services/HtmlTags.h"
#include "fuzz/FuzzText.h"
#include "fuzz/HtmlTagsModel.h"

#include <cstdint>
#include <string>

using fuzz::RemoveAllPlainly;
using fuzz::RemoveSpansPlainly;

namespace {

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

struct Tag {
    const char* tag;      // as the program passes it
    const char* opening;  // lower-case opening pattern
    const char* closing;  // lower-case closing tag, "" for none
};

const Tag kTags[] = {
    {"<a>", "<a", "</a>"},
    {"<b>", "<b>", "</b>"},
    {"<font>", "<font", "</font>"},
    {"<input>", "<input", ""},
    {"<SCRIPT>", "<script", "</script>"},
    {"<aa>", "<aa", "</aa>"},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const Tag& tag = kTags[data[0] % (sizeof kTags / sizeof kTags[0])];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    // "<b>" is matched whole, in the case it is given; the others in their
    // all-lower and all-upper forms.
    const std::string lower = tag.opening;
    const std::string upper = Upper(lower);
    const std::string closeLower = tag.closing;
    const std::string closeUpper = Upper(closeLower);

    CString stripped(text);
    StripHtmlTags(stripped);
    FUZZ_CHECK(stripped.Str() == RemoveSpansPlainly(text, "<", ">"));

    CString tags(text);
    RemoveHtmlTags(tags, tag.tag);
    std::string expected = text;
    if (!closeLower.empty()) {
        expected = RemoveAllPlainly(expected, closeLower);
        expected = RemoveAllPlainly(expected, closeUpper);
    }
    expected = RemoveSpansPlainly(expected, lower, ">");
    expected = RemoveSpansPlainly(expected, upper, ">");
    FUZZ_CHECK(tags.Str() == expected);

    CString elements(text);
    RemoveHtmlElements(elements, tag.tag);
    expected = text;
    if (!closeLower.empty()) {
        expected = RemoveSpansPlainly(expected, lower, closeLower);
        expected = RemoveSpansPlainly(expected, upper, closeUpper);
    }
    FUZZ_CHECK(elements.Str() == expected);
    return 0;
}

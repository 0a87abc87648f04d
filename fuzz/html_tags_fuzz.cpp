// The tag removers against their plain statement: search from the start of
// the text after every deletion. The first input byte picks the tag, the rest
// is the text. Equal on every input, in any letter case and with GBK
// characters, with nothing left for a second pass to remove.
#include "core/services/HtmlTags.h"
#include "fuzz/FuzzText.h"

#include <cstdint>
#include <string>

namespace {

size_t FindChars(const std::string& s, const std::string& needle, size_t from)
{
    for (size_t i = from; i + needle.size() <= s.size(); i += tavrin::CharLength(s.data() + i, s.data() + s.size()))
        if (s.compare(i, needle.size(), needle) == 0)
            return i;
    return std::string::npos;
}

std::string RemoveSpansPlainly(std::string s, const std::string& open, const std::string& close)
{
    for (;;) {
        size_t p = FindChars(s, open, 0);
        size_t q = p == std::string::npos ? p : FindChars(s, close, p);
        if (q == std::string::npos)
            return s;
        s.erase(p, q + close.size() - p);
    }
}

// Every occurrence of needle, in one pass from the start.
std::string RemoveAllPlainly(std::string s, const std::string& needle)
{
    for (size_t at = 0; (at = FindChars(s, needle, at)) != std::string::npos;)
        s.erase(at, needle.size());
    return s;
}

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

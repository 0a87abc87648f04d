// Template filling with remote values. The input is a template text and the
// values, separated by 0xFF bytes; the labels are the program's own.
// Substitution is ours, never printf: each "%s" takes the next value whole
// and unread, so the output's length is exactly that of the format filled
// with nothing plus the values used. A filled data block keeps the page's
// script intact: the escaped values add no quote, line break or bracket to
// it, and a template without its block is left as it was.
#include "fuzz/FuzzText.h"
#include "providers/common/PageTemplate.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// GBK labels of the 5460 pages: contacts, photos, photo upload, online
// information, personal profile, other information; and an ASCII one.
const char* const kLabels[] = {
    "\xCD\xA8\xD1\xB6\xC2\xBC", "\xD5\xD5\xC6\xAC",         "\xC9\xCF\xB4\xAB\xD5\xD5\xC6\xAC",
    "\xD4\xDA\xCF\xDF\xD0\xC5\xCF\xA2", "\xB8\xF6\xC8\xCB\xD7\xCA\xC1\xCF", "\xC6\xE4\xCB\xFB\xD0\xC5\xCF\xA2",
    "test",
};

// The characters that could end a script string or element: quotes not
// escaped by a backslash, line breaks and brackets, read character by
// character as a browser reads GBK.
size_t ScriptBreakers(std::string_view text)
{
    size_t count = 0;
    for (size_t p = 0; p < text.size();) {
        size_t n = fuzz::BrowserCharLength(text, p);
        if (n == 1) {
            char c = text[p];
            if (c == '\\' && p + 1 < text.size())
                n = fuzz::BrowserCharLength(text, p + 1) + 1;
            count += c == '"' || c == '\'' || c == '\r' || c == '\n' || c == '<' || c == '>';
        }
        p += n;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> parts =
        fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data), size), '\xFF');
    const CString text(parts[0]);
    std::vector<CString> values;
    size_t used = 0;
    for (size_t i = 1; i < parts.size(); ++i)
        values.emplace_back(parts[i]);

    // The format is the template text itself, with the values as they came.
    const size_t empty = static_cast<size_t>(tavrin::FillFormat(text, {}).GetLength());
    const std::vector<CString> ones(parts[0].size() / 2 + 1, CString("a"));
    const size_t placeholders = static_cast<size_t>(tavrin::FillFormat(text, ones).GetLength()) - empty;
    for (size_t i = 0; i < values.size() && i < placeholders; ++i)
        used += static_cast<size_t>(values[i].GetLength());
    FUZZ_CHECK(static_cast<size_t>(tavrin::FillFormat(text, values).GetLength()) == empty + used);
    if (parts[0].find('%') == std::string::npos)
        FUZZ_CHECK(tavrin::FillFormat(text, values) == text);

    for (const char* label : kLabels) {
        CString block;
        bool found = tavrin::FindDataBlock(text, label, block);
        FUZZ_CHECK(!found || parts[0].find(block.View()) != std::string::npos);

        CString filled = text;
        bool done = tavrin::FillScriptDataBlock(filled, label, values);
        FUZZ_CHECK(done == (found && !block.IsEmpty()));
        if (!done) {
            FUZZ_CHECK(filled == text);
            continue;
        }
        CString bare = text;
        FUZZ_CHECK(tavrin::FillDataBlock(bare, label, {}));
        // (A backslash before a placeholder, which no template of ours has,
        // would escape the value's first character.)
        if (block.Find("\\%") < 0)
            FUZZ_CHECK(ScriptBreakers(filled.View()) == ScriptBreakers(bare.View()));
    }
    return 0;
}

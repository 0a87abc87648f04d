// The list a class page hands over in its text area, on hostile pages: the
// extraction never throws or runs away, and what it takes is page text (a
// NUL an ordinary byte) right after a "<textarea ...>" tag, up to and not
// including the first "</textarea>" after it, in any letter case.
#include "fuzz/FuzzText.h"
#include "providers/5460/TextArea.h"

#include <cstdint>
#include <string>
#include <string_view>

using fuzz::AsciiLower;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CString page(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string text = AsciiLower(page.View());
    CString area;
    if (!tavrin::p5460::ExtractTextArea(page, area)) {
        size_t open = text.find("<textarea");
        size_t tagEnd = open == std::string::npos ? open : text.find('>', open);
        FUZZ_CHECK(tagEnd == std::string::npos || text.find("</textarea>", tagEnd) == std::string::npos);
        return 0;
    }
    std::string lowered = AsciiLower(area.View());
    FUZZ_CHECK(lowered.find("</textarea>") == std::string::npos);
    // The first opening tag whose content the first closing tag ends.
    for (size_t open = text.find("<textarea"); open != std::string::npos; open = text.find("<textarea", open + 1)) {
        size_t tagEnd = text.find('>', open);
        FUZZ_CHECK(tagEnd != std::string::npos);
        size_t close = text.find("</textarea>", tagEnd + 1);
        if (close == std::string::npos)
            continue;
        FUZZ_CHECK(text.substr(tagEnd + 1, close - tagEnd - 1) == lowered);
        return 0;
    }
    FUZZ_CHECK(false);
    return 0;
}

// The provider's page searches on hostile pages, with the provider's own
// expressions (GBK words escaped). A search never throws or runs away; the
// whole match and every group are text of the page before its first NUL,
// the first group of the first match is what FirstGroup gives, and all
// matches come in page order without overlapping.
#include "fuzz/FuzzText.h"
#include "providers/common/PageScrape.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using tavrin::Case;

namespace {

struct Pattern {
    const char* text;
    Case letterCase;
};

const Pattern kPatterns[] = {
    // Welcome page.
    {"<td class=\"unnamed1\">\xD0\xD5\xC3\xFB:(.*?)</td>", Case::Insensitive},
    {"<td class=\"unnamed1\">ID:(.*?)</td>", Case::Insensitive},
    {"(<a class=\"style1\" target=\"gongneng\" href=\"gongneng\\.jsp\\?csid=.*?\">.*?</a>)", Case::Insensitive},
    {"<a class=\"style1\" target=\"gongneng\" href=\"gongneng\\.jsp\\?csid=(.*?)\">(.*?)/(.*?)</a>", Case::Insensitive},
    // Class page.
    {"schoolID=([0-9]*)", Case::Sensitive},
    {"<td class=\"style12\">\xD5\xFD\xB9\xDC\xA3\xBA(.*?) \xB8\xB1\xB9\xDC\xA3\xBA(.*?) </td>", Case::Sensitive},
    {"<td><span class=\"style12\">\xB3\xC9\xD4\xB1\xCA\xFD\xA3\xBA(.*?)</span></td>", Case::Sensitive},
    {"<span class=\"style21\">\xB0\xE0\xBC\xB6\xD0\xFB\xD1\xD4:(.*?)</span>", Case::Sensitive},
    // Private notes.
    {"(<td width=\"320\" nowrap>\xD6\xF7\xCC\xE2\xA3\xBA.*?<input type=\"checkbox\" name=\"isDelete\".*?</td>)",
     Case::Insensitive},
    {"<td width=\"320\" nowrap>\xD6\xF7\xCC\xE2\xA3\xBA(.*?)<br>(.*?)</td>.*?<a [^>]*ReceiverID=([0-9]*)"
     "&ReceiverName=(.*?)&[^>]*>.*?</a>.*?<td  align=\"center\" nowrap>(.*?)</td>.*?value=\"([0-9]*)\">.*?",
     Case::Insensitive},
    // Profile.
    {"<INPUT maxLength=15.*?name=passwd1 size=15 type=password value=\"(.*?)\" >", Case::Insensitive},
    {"<INPUT name=addPm type=checkbox value=\xB1\xA3\xC3\xDC *(.*?)>", Case::Insensitive},
    {"<TEXTAREA cols=50 name=Info rows=5>(.*?)</TEXTAREA>", Case::Insensitive},
    // An expression that does not compile is no match.
    {"(unclosed", Case::Sensitive},
};

bool Within(std::string_view page, const CString& piece)
{
    return page.find(piece.View()) != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CString text(std::string_view(reinterpret_cast<const char*>(data), size));
    // A NUL counts as a blank.
    std::string blanked(text.View());
    for (char& c : blanked)
        if (c == '\0')
            c = ' ';
    std::string_view page = blanked;

    for (const Pattern& pattern : kPatterns) {
        std::vector<CString> groups;
        bool found = tavrin::SearchFirst(text, pattern.text, pattern.letterCase, groups);
        FUZZ_CHECK(found == !groups.empty());
        for (const CString& group : groups)
            FUZZ_CHECK(Within(page, group));
        if (found)
            for (size_t i = 1; i < groups.size(); ++i)
                FUZZ_CHECK(groups[0].View().find(groups[i].View()) != std::string_view::npos);
        CString first = tavrin::FirstGroup(text, pattern.text, pattern.letterCase);
        FUZZ_CHECK(first.View() == (groups.size() >= 2 ? groups[1].View() : std::string_view()));

        size_t from = 0;
        std::vector<CString> matches = tavrin::AllMatches(text, pattern.text, pattern.letterCase);
        for (const CString& match : matches) {
            size_t at = page.find(match.View(), from);
            FUZZ_CHECK(at != std::string_view::npos);
            from = at + (match.IsEmpty() ? 1 : static_cast<size_t>(match.GetLength()));
        }
        FUZZ_CHECK(!found || (!matches.empty() && matches[0] == groups[0]));
    }
    return 0;
}

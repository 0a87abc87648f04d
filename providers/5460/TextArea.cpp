#include "providers/5460/TextArea.h"

#include <boost/regex.hpp>

namespace tavrin::p5460 {

bool ExtractTextArea(const CString& page, CString& data)
{
    static const boost::regex pattern("<textarea[^>]*>(.*?)</textarea>", boost::regex::perl | boost::regex::icase);
    // The text ends at its first NUL, as the page text does.
    const char* begin = page.GetString();
    const char* end = begin + std::char_traits<char>::length(begin);
    boost::cmatch match;
    if (!boost::regex_search(begin, end, match, pattern))
        return false;
    data = CString(match[1].first, static_cast<int>(match[1].length()));
    return true;
}

} // namespace tavrin::p5460

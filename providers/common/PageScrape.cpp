#include "providers/common/PageScrape.h"

#include <boost/regex.hpp>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace tavrin {

namespace {

// Compiled once per pattern; a compiled expression may be used by several
// threads at once.
const boost::regex* Compile(const char* pattern, Case letterCase)
{
    static std::mutex lock;
    static std::map<std::pair<std::string, bool>, std::unique_ptr<boost::regex>> cache;
    const bool icase = letterCase == Case::Insensitive;
    std::lock_guard<std::mutex> guard(lock);
    auto& slot = cache[{pattern, icase}];
    if (!slot) {
        try {
            slot = std::make_unique<boost::regex>(pattern, icase ? boost::regex::perl | boost::regex::icase
                                                                 : boost::regex::perl);
        } catch (...) {
            return nullptr;
        }
    }
    return slot.get();
}

void BlankNuls(std::string& text)
{
    for (char& c : text)
        if (c == '\0')
            c = ' ';
}

// The text to search; a copy in storage when it holds a NUL.
std::string_view ScanText(const CString& text, std::string& storage)
{
    std::string_view view = text.View();
    if (view.find('\0') == std::string_view::npos)
        return view;
    storage.assign(view);
    BlankNuls(storage);
    return storage;
}

} // namespace

CString PageText(const CByteArray& reply)
{
    const char* data = reinterpret_cast<const char*>(reply.GetData());
    std::string text(data ? data : "", data ? static_cast<size_t>(reply.GetSize()) : 0);
    BlankNuls(text);
    return CString(std::move(text));
}

bool SearchFirst(const CString& text, const char* pattern, Case letterCase, std::vector<CString>& groups)
{
    groups.clear();
    const boost::regex* expression = Compile(pattern, letterCase);
    if (!expression)
        return false;
    std::string storage;
    std::string_view view = ScanText(text, storage);
    boost::cmatch match;
    try {
        if (!boost::regex_search(view.data(), view.data() + view.size(), match, *expression))
            return false;
    } catch (...) {
        return false;
    }
    for (size_t i = 0; i < match.size(); ++i)
        groups.emplace_back(match[i].matched ? CString(match[i].first, static_cast<int>(match[i].length()))
                                             : CString());
    return true;
}

CString FirstGroup(const CString& text, const char* pattern, Case letterCase)
{
    std::vector<CString> groups;
    if (!SearchFirst(text, pattern, letterCase, groups) || groups.size() < 2)
        return CString();
    return groups[1];
}

std::vector<CString> AllMatches(const CString& text, const char* pattern, Case letterCase)
{
    std::vector<CString> out;
    const boost::regex* expression = Compile(pattern, letterCase);
    if (!expression)
        return out;
    std::string storage;
    std::string_view view = ScanText(text, storage);
    const char* begin = view.data();
    const char* end = begin + view.size();
    try {
        boost::cmatch match;
        while (begin < end && boost::regex_search(begin, end, match, *expression)) {
            out.emplace_back(match[0].first, static_cast<int>(match[0].length()));
            // An empty match must not stall the walk.
            begin = match[0].second > begin ? match[0].second : begin + 1;
        }
    } catch (...) {
        out.clear();
    }
    return out;
}

std::string RegexLiteral(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (std::string_view(".[]{}()\\*+?^$|").find(c) != std::string_view::npos)
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace tavrin

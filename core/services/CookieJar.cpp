#include "core/services/CookieJar.h"

#include <algorithm>

namespace tavrin {

namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

void CookieJar::Add(std::string_view text)
{
    Take(text, false);
}

void CookieJar::Set(std::string_view text)
{
    Take(text, true);
}

void CookieJar::Take(std::string_view text, bool moveUnchanged)
{
    while (!text.empty()) {
        size_t semicolon = text.find(';');
        std::string_view piece = TrimBlanks(text.substr(0, semicolon));
        text = semicolon == std::string_view::npos ? std::string_view() : text.substr(semicolon + 1);
        if (piece.empty())
            continue;
        std::string_view name = TrimBlanks(piece.substr(0, piece.find('=')));
        auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.name == name; });
        if (same != m_entries.end()) {
            if (same->text == piece && !moveUnchanged)
                continue;
            m_entries.erase(same);
        }
        m_entries.push_back({std::string(name), std::string(piece)});
    }
}

std::string CookieJar::ToString() const
{
    std::string text;
    for (const auto& e : m_entries) {
        text += e.text;
        text += "; ";
    }
    return text;
}

std::string CookieJar::HeaderText() const
{
    std::string text = ToString();
    if (text.size() >= 2)
        text.resize(text.size() - 2);
    return text;
}

} // namespace tavrin

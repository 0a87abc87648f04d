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

// A control byte would end or split the Cookie line of every later request.
bool Acceptable(std::string_view piece)
{
    return piece.size() <= CookieJar::kMaxCookieBytes && std::none_of(piece.begin(), piece.end(), [](char c) {
               unsigned char b = static_cast<unsigned char>(c);
               return b < 0x20 || b == 0x7F;
           });
}

// Calls take(piece) for every non-empty entry of a cookie text.
template <typename Take>
void ForEachPiece(std::string_view text, Take take)
{
    while (!text.empty()) {
        size_t semicolon = text.find(';');
        std::string_view piece = TrimBlanks(text.substr(0, semicolon));
        text = semicolon == std::string_view::npos ? std::string_view() : text.substr(semicolon + 1);
        if (!piece.empty())
            take(piece);
    }
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
    ForEachPiece(text, [&](std::string_view piece) {
        if (!Acceptable(piece))
            return;
        std::string_view name = TrimBlanks(piece.substr(0, piece.find('=')));
        auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.name == name; });
        if (same != m_entries.end()) {
            if (same->text == piece && !moveUnchanged)
                return;
            m_entries.erase(same);
        }
        m_entries.push_back({std::string(name), std::string(piece)});
        if (m_entries.size() > kMaxCookies)
            m_entries.erase(m_entries.begin());
    });
}

std::string CookieJar::Checked(std::string_view text)
{
    size_t count = 0;
    bool acceptable = true;
    ForEachPiece(text, [&](std::string_view piece) {
        ++count;
        acceptable = acceptable && Acceptable(piece);
    });
    if (acceptable && count <= kMaxCookies)
        return std::string(text);
    CookieJar jar;
    jar.Add(text);
    return jar.ToString();
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

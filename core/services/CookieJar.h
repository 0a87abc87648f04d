// The cookies a CHttpClient sends: entries of the form name=value, kept in
// the order they were added and matched by their whole name. Its text form,
// every entry followed by "; ", is what the accounts store.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

class CookieJar {
public:
    // What browsers keep per host; beyond the count the oldest entries go.
    static constexpr size_t kMaxCookies = 50;
    static constexpr size_t kMaxCookieBytes = 4096;

    // Entries holding a control byte or longer than kMaxCookieBytes are
    // dropped, whether a server sets them or a stored text holds them.
    // Takes the entries of a cookie text ("a=1; b=2; ", the ends optional).
    // An entry whose name is already held replaces the old one, which moves
    // to the end; an entry already held with the same value changes nothing.
    void Add(std::string_view text);
    // Takes the entries a server sets (Set-Cookie pieces): each replaces the
    // entry of its name, which moves to the end even when its value stays.
    void Set(std::string_view text);
    void Clear() { m_entries.clear(); }
    bool IsEmpty() const { return m_entries.empty(); }

    // Every entry followed by "; ".
    std::string ToString() const;
    // A stored cookie text: unchanged when every entry of it is acceptable,
    // otherwise the text form of the entries a jar keeps of it.
    static std::string Checked(std::string_view text);
    // The value of a Cookie header: the entries joined by "; ".
    std::string HeaderText() const;

private:
    void Take(std::string_view text, bool moveUnchanged);

    struct Entry {
        std::string name;
        std::string text; // name=value as given
    };
    std::vector<Entry> m_entries;
};

} // namespace tavrin

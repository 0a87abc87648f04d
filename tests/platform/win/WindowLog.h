// Windows of one class that log every message they get into one shared log,
// so a test can compare the order of messages across windows with a table.
#pragma once

#include "platform/win/User.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavrin::test {

struct Logged {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// One entry of an expected sequence: window name and message.
struct Step {
    std::string window;
    UINT message;
    bool operator==(const Step& other) const { return window == other.window && message == other.message; }
};
std::ostream& operator<<(std::ostream& out, const Step& step);

class WindowLog {
public:
    WindowLog();
    ~WindowLog();

    // Windows of the logged class. Named for the sequences.
    HWND Create(const std::string& name, DWORD style, RECT rect, HWND parent = nullptr, DWORD exStyle = 0,
                int id = 0, bool doubleClicks = false);
    void Name(HWND hwnd, const std::string& name) { m_names[hwnd] = name; }
    std::string NameOf(HWND hwnd) const;

    void Clear() { m_entries.clear(); }
    const std::vector<Logged>& Entries() const { return m_entries; }
    // The logged steps whose message is among the given ones (all when empty).
    std::vector<Step> Steps(const std::set<UINT>& messages = {}) const;
    // Entries of one message.
    std::vector<Logged> Of(UINT message) const;

    // Answers a message instead of the default; return true when handled.
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> m_handler;

    static WindowLog* Current();
    void Add(const Logged& entry) { m_entries.push_back(entry); }

private:
    std::vector<Logged> m_entries;
    std::map<HWND, std::string> m_names;
};

// Retrieves and dispatches messages until the queue has none left (timers
// only when due).
void Pump();

} // namespace tavrin::test

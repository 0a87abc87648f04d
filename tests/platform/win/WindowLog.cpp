#include "WindowLog.h"

#include <ostream>

namespace tavrin::test {

namespace {

WindowLog* g_current = nullptr;

LRESULT CALLBACK LoggedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (WindowLog* log = WindowLog::Current()) {
        log->Add(Logged{hwnd, message, wParam, lParam});
        LRESULT result = 0;
        if (log->m_handler && log->m_handler(hwnd, message, wParam, lParam, &result))
            return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LPCSTR ClassName(bool doubleClicks)
{
    static const bool registered = [] {
        for (int i = 0; i < 2; ++i) {
            WNDCLASSA wc{};
            wc.style = i ? CS_DBLCLKS : 0;
            wc.lpfnWndProc = LoggedProc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
            wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            wc.lpszClassName = i ? "TavrinLoggedDbl" : "TavrinLogged";
            RegisterClassA(&wc);
        }
        return true;
    }();
    (void)registered;
    return doubleClicks ? "TavrinLoggedDbl" : "TavrinLogged";
}

} // namespace

std::ostream& operator<<(std::ostream& out, const Step& step)
{
    return out << step.window << ":0x" << std::hex << step.message << std::dec;
}

WindowLog::WindowLog()
{
    g_current = this;
}

WindowLog::~WindowLog()
{
    if (g_current == this)
        g_current = nullptr;
}

WindowLog* WindowLog::Current()
{
    return g_current;
}

HWND WindowLog::Create(const std::string& name, DWORD style, RECT r, HWND parent, DWORD exStyle, int id,
                       bool doubleClicks)
{
    HWND hwnd = CreateWindowExA(exStyle, ClassName(doubleClicks), name.c_str(), style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    m_names[hwnd] = name;
    return hwnd;
}

std::string WindowLog::NameOf(HWND hwnd) const
{
    auto it = m_names.find(hwnd);
    return it == m_names.end() ? "?" : it->second;
}

std::vector<Step> WindowLog::Steps(const std::set<UINT>& messages) const
{
    std::vector<Step> steps;
    for (const Logged& e : m_entries)
        if (messages.empty() || messages.count(e.message))
            steps.push_back(Step{NameOf(e.hwnd), e.message});
    return steps;
}

std::vector<Logged> WindowLog::Of(UINT message) const
{
    std::vector<Logged> result;
    for (const Logged& e : m_entries)
        if (e.message == message)
            result.push_back(e);
    return result;
}

void Pump()
{
    MSG msg;
    for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace tavrin::test

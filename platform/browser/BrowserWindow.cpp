#include "platform/browser/BrowserWindow.h"

#include "platform/win/Window.h"

#include <map>
#include <memory>
#include <mutex>

namespace tavrin::browser {

namespace {

std::mutex g_lock;
std::map<HWND, std::unique_ptr<Engine>>& Engines()
{
    static auto* engines = new std::map<HWND, std::unique_ptr<Engine>>;
    return *engines;
}

UINT PlaceMessage()
{
    static const UINT message = RegisterWindowMessageA("TavrinBrowserPlace");
    return message;
}

LRESULT CALLBACK BrowserProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        std::unique_ptr<Engine> engine = CreateEngine(hwnd);
        if (!engine)
            return -1;
        std::lock_guard<std::mutex> guard(g_lock);
        Engines()[hwnd] = std::move(engine);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        std::unique_ptr<Engine> engine;
        {
            std::lock_guard<std::mutex> guard(g_lock);
            auto it = Engines().find(hwnd);
            if (it != Engines().end()) {
                engine = std::move(it->second);
                Engines().erase(it);
            }
        }
        engine.reset();
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    Engine* engine = GetBrowserEngine(hwnd);
    if (engine) {
        LRESULT result = 0;
        if (engine->OnHostMessage(message, wParam, lParam, &result))
            return result;
        if (message == WM_WINDOWPOSCHANGED || message == WM_SIZE || message == WM_MOVE || message == PlaceMessage())
            engine->UpdatePlacement();
        else if (message == WM_SHOWWINDOW)
            PostMessageA(hwnd, PlaceMessage(), 0, 0); // visible once the show is done
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

LPCSTR BrowserWindowClass()
{
    static const bool registered = [] {
        WNDCLASSA wc{};
        // Double clicks on the page reach the program (and the host's
        // parents) as double clicks, as a browser control's do.
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = BrowserProc;
        wc.lpszClassName = "TavrinWebBrowser";
        return RegisterClassA(&wc) != 0;
    }();
    return registered ? "TavrinWebBrowser" : nullptr;
}

Engine* GetBrowserEngine(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = Engines().find(hwnd);
    return it == Engines().end() ? nullptr : it->second.get();
}

} // namespace tavrin::browser

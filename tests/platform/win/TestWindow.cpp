#include "TestWindow.h"

namespace tavrin::test {

namespace {

LRESULT CALLBACK RecorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* recorder = reinterpret_cast<Recorder*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (recorder) {
        recorder->Add(Received{message, wParam, lParam, GetCurrentThreadId(), InSendMessage()});
        if (recorder->m_handler) {
            bool handled = false;
            LRESULT result = recorder->m_handler(hwnd, message, wParam, lParam, &handled);
            if (handled)
                return result;
        }
    }
    if (message >= WM_USER)
        return static_cast<LRESULT>(wParam + 1);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

LPCSTR RecorderClass()
{
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecorderProc;
        wc.lpszClassName = "TavrinRecorder";
        wc.cbWndExtra = 2 * sizeof(LONG_PTR);
        return RegisterClassA(&wc) != 0;
    }();
    return registered ? "TavrinRecorder" : nullptr;
}

HWND CreateRecorderWindow(Recorder* recorder, HWND parent, DWORD style)
{
    return CreateWindowExA(0, RecorderClass(), "recorder", style, 10, 20, 300, 200, parent, nullptr, nullptr,
                           recorder);
}

} // namespace tavrin::test

#include "platform/win/MessageBox.h"

#include "platform/win/MessageQueue.h"
#include "platform/win/Window.h"

#include <cstdio>
#include <deque>
#include <mutex>

namespace tavrin::win {

namespace {

struct MessageBoxState {
    std::mutex lock;
    MessageBoxPresenter presenter;
    std::deque<int> answers;
    std::vector<MessageBoxRecord> log;
};

MessageBoxState& State()
{
    static MessageBoxState* state = new MessageBoxState;
    return *state;
}

// On the thread the box belongs to.
int ShowHere(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    MessageBoxState& state = State();
    int answer = 0;
    bool answered = false;
    MessageBoxPresenter presenter;
    {
        std::lock_guard<std::mutex> lock(state.lock);
        if (!state.answers.empty()) {
            answer = state.answers.front();
            state.answers.pop_front();
            answered = true;
        } else {
            presenter = state.presenter;
        }
    }
    if (!answered && presenter) {
        answer = presenter(owner, text, caption, type);
    } else if (!answered) {
        answer = DefaultMessageBoxButton(type);
        std::fprintf(stderr, "[MessageBox] %s: %s -> %d\n", caption.c_str(), text.c_str(), answer);
    }
    std::lock_guard<std::mutex> lock(state.lock);
    state.log.push_back(MessageBoxRecord{owner, text, caption, type, GetCurrentThreadId(), answer});
    return answer;
}

} // namespace

void SetMessageBoxPresenter(MessageBoxPresenter presenter)
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().presenter = std::move(presenter);
}

void QueueMessageBoxAnswer(int answer)
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().answers.push_back(answer);
}

void ClearMessageBoxAnswers()
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().answers.clear();
}

std::vector<MessageBoxRecord> TakeMessageBoxLog()
{
    std::lock_guard<std::mutex> lock(State().lock);
    std::vector<MessageBoxRecord> log;
    log.swap(State().log);
    return log;
}

int DefaultMessageBoxButton(UINT type)
{
    static const int buttons[][3] = {
        {IDOK, 0, 0},                  // MB_OK
        {IDOK, IDCANCEL, 0},           // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},  // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},       // MB_YESNOCANCEL
        {IDYES, IDNO, 0},              // MB_YESNO
        {IDRETRY, IDCANCEL, 0},        // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, // MB_CANCELTRYCONTINUE
    };
    UINT kind = type & MB_TYPEMASK;
    if (kind > 6)
        kind = 0;
    UINT index = (type & MB_DEFMASK) >> 8;
    if (index > 2 || buttons[kind][index] == 0)
        index = 0;
    return buttons[kind][index];
}

} // namespace tavrin::win

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    std::string body = text ? text : "";
    // A null caption reads "Error", as the system's does.
    std::string title = caption ? caption : "Error";
    if (owner) {
        auto window = tavrin::win::Window::FromHandle(owner);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (window->GetThreadId() != GetCurrentThreadId()) {
            auto sent = std::make_shared<tavrin::win::SentMessage>();
            sent->hwnd = owner; // the box goes when its owner goes
            sent->call = [owner, body, title, type] {
                return static_cast<LRESULT>(tavrin::win::ShowHere(owner, body, title, type));
            };
            return static_cast<int>(tavrin::win::SendToThread(window->GetThreadId(), sent));
        }
    }
    return tavrin::win::ShowHere(owner, body, title, type);
}

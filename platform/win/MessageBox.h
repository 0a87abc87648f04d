// Message boxes. MessageBoxA may be called from any thread: with an owner of
// another thread the box is shown on the owner's thread (the caller waits,
// serving its own sends), so a worker's question appears where its window
// lives. The answer comes from, in order: a scripted answer a test queued,
// the installed presenter, or else (headless) the default button at once,
// with the text written to the log.
#pragma once

#include "platform/win/WinMessage.h"

#include <functional>
#include <string>
#include <vector>

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_CANCELTRYCONTINUE 0x00000006L
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONSTOP MB_ICONHAND
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFBUTTON4 0x00000300L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONMASK 0x000000F0L
#define MB_DEFMASK 0x00000F00L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9
#define IDTRYAGAIN 10
#define IDCONTINUE 11

// The pressed button, or 0 when the box could not be shown (its owner was
// destroyed while the caller waited).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
inline int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return MessageBoxA(owner, text, caption, type);
}

namespace tavrin::win {

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    DWORD threadId; // the thread the box was shown on
    int answer;
};

// Shows a box and returns the pressed button (a GTK presenter, say).
using MessageBoxPresenter = std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;
void SetMessageBoxPresenter(MessageBoxPresenter presenter);

// Tests: each box takes the next queued answer.
void QueueMessageBoxAnswer(int answer);
void ClearMessageBoxAnswers();
// Every box shown since the last call, oldest first.
std::vector<MessageBoxRecord> TakeMessageBoxLog();

// The button a box of this type answers with by default.
int DefaultMessageBoxButton(UINT type);

} // namespace tavrin::win

// The shell's "open": a web address or a local document goes to the desktop's
// default handler; a program is started with its parameters, but only when
// its file exists and can run here. Results above 32 mean success; at most
// 32 they are the documented error codes. Tests install a launcher of their
// own that records instead of starting anything.
#pragma once

#include "platform/base/Types.h"

#include <string>
#include <vector>

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define ERROR_BAD_FORMAT 11L
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show);
inline HINSTANCE ShellExecute(HWND o, LPCSTR v, LPCSTR f, LPCSTR p, LPCSTR d, INT s)
{
    return ShellExecuteA(o, v, f, p, d, s);
}

namespace tavrin::win {

struct ShellLaunch {
    enum class Kind { OpenWithDesktop, StartProgram };
    Kind kind = Kind::OpenWithDesktop;
    std::string target;                 // a web address, or a native (UTF-8) path
    std::vector<std::string> arguments; // a program's parameters, UTF-8
    std::string folder;                 // a program's working folder, native; empty: ours
    int show = 0;
};

class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    // False when nothing could be started.
    virtual bool Launch(const ShellLaunch& launch) = 0;
};

// null restores the desktop's launcher. The caller keeps ownership.
void SetShellLauncher(ShellLauncher* launcher);

// Splits parameters as a command line is split: blanks separate, double
// quotes group ("" inside quotes is one quote).
std::vector<std::string> SplitParameters(const std::string& parameters);

} // namespace tavrin::win

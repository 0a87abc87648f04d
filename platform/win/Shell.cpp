#include "platform/win/Shell.h"

#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/win/NameFold.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

HINSTANCE Result(int code)
{
    return reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(code));
}

// The full path of a program in PATH; empty when it is not installed.
std::string FindInPath(const char* name)
{
    const char* path = getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

bool Spawn(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // A new session: the started program outlives us and takes no signals
    // meant for our process group.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        fprintf(stderr, "shell: cannot start %s (%s)\n", program.c_str(), strerror(error));
        return false;
    }
    // Nobody waits for it; reap it so it leaves no zombie.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

class DesktopLauncher : public tavrin::win::ShellLauncher {
public:
    bool Launch(const tavrin::win::ShellLaunch& launch) override
    {
        if (launch.kind == tavrin::win::ShellLaunch::Kind::StartProgram)
            return Spawn(launch.target, launch.arguments, launch.folder);
        const std::string opener = FindInPath("xdg-open");
        if (opener.empty()) {
            fprintf(stderr, "shell: no desktop handler (xdg-open) to open %s\n", launch.target.c_str());
            return false;
        }
        return Spawn(opener, {launch.target}, "");
    }
};

DesktopLauncher g_desktop;
std::atomic<tavrin::win::ShellLauncher*> g_launcher{&g_desktop};

// "http://...", "mailto:...": a scheme of two or more letters (so that "C:"
// stays a drive), or an address beginning "www.".
bool IsWebAddress(const std::string& text, std::string& address)
{
    size_t i = 0;
    while (i < text.size() && (isalnum(static_cast<unsigned char>(text[i])) || text[i] == '+' || text[i] == '-' ||
                               text[i] == '.'))
        ++i;
    if (i >= 2 && i < text.size() && text[i] == ':' && isalpha(static_cast<unsigned char>(text[0]))) {
        address = text;
        return true;
    }
    if (text.size() > 4 && tavrin::win::SameName(text.substr(0, 4), "www.")) {
        address = "http://" + text;
        return true;
    }
    return false;
}

bool HasProgramExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return false;
    const std::string ext = tavrin::win::FoldName(path.substr(dot));
    return ext == ".exe" || ext == ".com" || ext == ".bat" || ext == ".cmd";
}

// An executable of this system: the execute bit and a format it runs.
bool RunsHere(const std::string& path)
{
    if (access(path.c_str(), X_OK) != 0)
        return false;
    char head[4] = {};
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const ssize_t n = read(fd, head, sizeof head);
    close(fd);
    return (n == 4 && memcmp(head, "\x7f" "ELF", 4) == 0) || (n >= 2 && head[0] == '#' && head[1] == '!');
}

// A trailing backslash that is not the trail byte of a double-byte character.
bool EndsWithSeparator(const std::string& gbk)
{
    bool last = false;
    for (size_t i = 0; i < gbk.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(gbk[i]);
        last = c == '\\' || c == '/';
        if (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size())
            ++i;
    }
    return last;
}

bool IsAbsoluteProgramPath(const std::string& gbk)
{
    return (!gbk.empty() && (gbk[0] == '\\' || gbk[0] == '/')) ||
           (gbk.size() >= 2 && isalpha(static_cast<unsigned char>(gbk[0])) && gbk[1] == ':');
}

} // namespace

void tavrin::win::SetShellLauncher(ShellLauncher* launcher)
{
    g_launcher = launcher ? launcher : &g_desktop;
}

std::vector<std::string> tavrin::win::SplitParameters(const std::string& parameters)
{
    std::vector<std::string> out;
    std::string current;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < parameters.size(); ++i) {
        const char c = parameters[i];
        if (c == '"') {
            if (quoted && i + 1 < parameters.size() && parameters[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                out.push_back(std::move(current));
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord)
        out.push_back(std::move(current));
    return out;
}

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show)
{
    if (verb && *verb && !tavrin::win::SameName(verb, "open") && !tavrin::win::SameName(verb, "explore"))
        return Result(SE_ERR_NOASSOC);
    if (!file || !*file)
        return Result(SE_ERR_FNF);
    tavrin::win::ShellLaunch launch;
    launch.show = show;
    std::string address;
    if (IsWebAddress(file, address)) {
        for (unsigned char c : address)
            if (c <= ' ' || c == 0x7F)
                return Result(SE_ERR_FNF); // never hand a handler a broken address
        launch.target = tavrin::GbkToUtf8(address);
        return Result(g_launcher.load()->Launch(launch) ? 42 : SE_ERR_NOASSOC);
    }
    std::string gbk = file;
    if (folder && *folder && !IsAbsoluteProgramPath(gbk)) {
        const std::string base = folder;
        gbk = base + (EndsWithSeparator(base) ? "" : "\\") + gbk;
    }
    const std::string path = tavrin::NativePath(gbk);
    if (path.empty())
        return Result(SE_ERR_FNF);
    struct stat st{};
    if (stat(path.c_str(), &st) != 0) {
        if (errno == EACCES)
            return Result(SE_ERR_ACCESSDENIED);
        const size_t slash = path.rfind('/');
        struct stat parent{};
        if (slash != std::string::npos && slash > 0 && stat(path.substr(0, slash).c_str(), &parent) != 0)
            return Result(SE_ERR_PNF);
        return Result(SE_ERR_FNF);
    }
    launch.target = path;
    // A program by its name that cannot run here (another system's) fails;
    // a document that merely carries the execute bit is opened.
    const bool runs = S_ISREG(st.st_mode) && RunsHere(path);
    if (S_ISREG(st.st_mode) && HasProgramExtension(path) && !runs)
        return Result(ERROR_BAD_FORMAT);
    if (runs) {
        launch.kind = tavrin::win::ShellLaunch::Kind::StartProgram;
        if (parameters)
            for (const std::string& a : tavrin::win::SplitParameters(parameters))
                launch.arguments.push_back(tavrin::GbkToUtf8(a));
        if (folder && *folder) {
            launch.folder = tavrin::NativePath(folder);
            struct stat fst{};
            if (launch.folder.empty() || stat(launch.folder.c_str(), &fst) != 0 || !S_ISDIR(fst.st_mode))
                return Result(SE_ERR_PNF);
        }
        return Result(g_launcher.load()->Launch(launch) ? 42 : SE_ERR_OOM);
    }
    return Result(g_launcher.load()->Launch(launch) ? 42 : SE_ERR_NOASSOC);
}

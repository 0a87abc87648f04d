#include "platform/win/UserFolder.h"

#include "platform/base/Types.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin::win {

namespace {

std::mutex g_lock;
std::string g_override;

std::string DefaultFolder()
{
    const char* xdg = getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return std::string(xdg) + "/tavrin";
    const char* home = getenv("HOME");
    std::string base;
    if (home && *home == '/') {
        base = home;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        base = pw->pw_dir;
    }
    if (base.empty())
        base = "/tmp";
    return base + "/.config/tavrin";
}

bool MakeFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
        struct stat st{};
        if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return true;
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
    return false;
}

} // namespace

std::string GetUserConfigFolder()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_override.empty() ? DefaultFolder() : g_override;
}

void SetUserConfigFolder(const std::string& nativeFolder)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_override = nativeFolder;
    while (g_override.size() > 1 && g_override.back() == '/')
        g_override.pop_back();
}

bool EnsureUserConfigFolder(const std::string& sub)
{
    const std::string folder = GetUserConfigFolder();
    // Parents of the folder (~/.config) may be missing on a fresh account.
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0700);
    if (!MakeFolder(folder))
        return false;
    return sub.empty() || MakeFolder(folder + "/" + sub);
}

} // namespace tavrin::win

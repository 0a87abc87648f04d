#include "platform/win/OptionalLibrary.h"

#include "platform/gdi/Gdi.h"
#include "platform/win/Input.h"
#include "platform/win/LayeredWindow.h"
#include "platform/win/SystemProfile.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

namespace tavrin::win {

namespace {

struct EntryPoint {
    const char* name;
    FARPROC proc;
};

struct Library {
    const char* name;     // normalised: lower case, no ".dll"
    bool system;          // loaded in every process
    std::vector<EntryPoint> entries;
};

std::mutex g_lock;
DWORD g_comctlMajor = 6, g_comctlMinor = 0;
std::set<std::string> g_missingLibraries;
std::set<std::string> g_missingEntries; // "library!entry"
int g_refs[8] = {};
char g_tokens[9]; // module handles; the last one stands for the program

template <typename F>
FARPROC Proc(F* f)
{
    // Through the one function type that matches every other.
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

HRESULT CALLBACK CommonControlsVersion(DLLVERSIONINFO* info)
{
    if (!info || info->cbSize < sizeof(DLLVERSIONINFO))
        return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(g_lock);
    info->dwMajorVersion = g_comctlMajor;
    info->dwMinorVersion = g_comctlMinor;
    info->dwBuildNumber = 2900;
    info->dwPlatformID = DLLVER_PLATFORM_NT;
    return S_OK;
}

const std::vector<Library>& Libraries()
{
    static const std::vector<Library>* libraries = new std::vector<Library>{
        {"msimg32",
         false,
         {{"GradientFill", Proc(&::GradientFill)},
          {"AlphaBlend", Proc(&::AlphaBlend)},
          {"TransparentBlt", Proc(&::TransparentBlt)}}},
        {"user32",
         true,
         {{"UpdateLayeredWindow", Proc(&::UpdateLayeredWindow)},
          {"SetLayeredWindowAttributes", Proc(&::SetLayeredWindowAttributes)},
          {"GetLayeredWindowAttributes", Proc(&::GetLayeredWindowAttributes)},
          {"GetSystemMetrics", Proc(&::GetSystemMetrics)},
          {"MonitorFromWindow", Proc(&::MonitorFromWindow)},
          {"MonitorFromRect", Proc(&::MonitorFromRect)},
          {"MonitorFromPoint", Proc(&::MonitorFromPoint)},
          {"GetMonitorInfoA", Proc(static_cast<BOOL (*)(HMONITOR, LPMONITORINFO)>(&::GetMonitorInfoA))},
          {"EnumDisplayMonitors", Proc(&::EnumDisplayMonitors)},
          {"TrackMouseEvent", Proc(&::TrackMouseEvent)}}},
        {"comctl32", false, {{"DllGetVersion", Proc(&CommonControlsVersion)}, {"_TrackMouseEvent", Proc(&::_TrackMouseEvent)}}},
        {"gdi32", true, {}},
        {"kernel32", true, {}},
    };
    return *libraries;
}

std::string Normalise(std::string name)
{
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0)
        name.resize(name.size() - 4);
    return name;
}

// Caller holds the lock. The index of a present library, or -1.
int Find(const std::string& name)
{
    const auto& libraries = Libraries();
    for (size_t i = 0; i < libraries.size(); ++i)
        if (name == libraries[i].name)
            return g_missingLibraries.count(name) ? -1 : static_cast<int>(i);
    return -1;
}

int IndexOf(HMODULE module)
{
    auto* p = reinterpret_cast<char*>(module);
    if (p < g_tokens || p >= g_tokens + Libraries().size())
        return -1;
    return static_cast<int>(p - g_tokens);
}

} // namespace

void SetLibraryAvailable(const std::string& library, bool available)
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (available)
        g_missingLibraries.erase(Normalise(library));
    else
        g_missingLibraries.insert(Normalise(library));
}

void SetEntryPointAvailable(const std::string& library, const std::string& entryPoint, bool available)
{
    std::lock_guard<std::mutex> lock(g_lock);
    std::string key = Normalise(library) + "!" + entryPoint;
    if (available)
        g_missingEntries.erase(key);
    else
        g_missingEntries.insert(key);
}

void SetCommonControlsVersion(DWORD major, DWORD minor)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_comctlMajor = major;
    g_comctlMinor = minor;
}

void ResetOptionalLibraries()
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_missingLibraries.clear();
    g_missingEntries.clear();
    g_comctlMajor = 6;
    g_comctlMinor = 0;
}

} // namespace tavrin::win

HMODULE LoadLibraryA(LPCSTR name)
{
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
    int index = tavrin::win::Find(tavrin::win::Normalise(name));
    if (index < 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++tavrin::win::g_refs[index];
    return reinterpret_cast<HMODULE>(&tavrin::win::g_tokens[index]);
}

HMODULE GetModuleHandleA(LPCSTR name)
{
    if (!name)
        return reinterpret_cast<HMODULE>(&tavrin::win::g_tokens[8]);
    std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
    int index = tavrin::win::Find(tavrin::win::Normalise(name));
    if (index < 0 || (!tavrin::win::Libraries()[static_cast<size_t>(index)].system && !tavrin::win::g_refs[index])) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(&tavrin::win::g_tokens[index]);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
    int index = tavrin::win::IndexOf(module);
    if (index < 0 || !name) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const auto& library = tavrin::win::Libraries()[static_cast<size_t>(index)];
    if (!IS_INTRESOURCE(name) && !tavrin::win::g_missingLibraries.count(library.name) &&
        !tavrin::win::g_missingEntries.count(std::string(library.name) + "!" + name)) {
        for (const auto& entry : library.entries)
            if (std::string(entry.name) == name)
                return entry.proc;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
    int index = tavrin::win::IndexOf(module);
    if (index < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (tavrin::win::g_refs[index] > 0)
        --tavrin::win::g_refs[index];
    return TRUE;
}

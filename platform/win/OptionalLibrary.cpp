#include "platform/win/OptionalLibrary.h"

#include "platform/gdi/Gdi.h"
#include "platform/win/Input.h"
#include "platform/win/LayeredWindow.h"
#include "platform/win/SystemProfile.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace tavrin::win {

namespace {

struct EntryPoint {
    std::string name;
    FARPROC proc;
};

struct Library {
    std::string name;     // normalised: lower case, no ".dll"
    bool system;          // loaded in every process
    std::vector<EntryPoint> entries;
};

// Module handles are addresses in one token array: the system's libraries
// first, then the stand-ins' slots, the last one standing for the program.
constexpr int kSystemSlots = 8;
constexpr int kStandInSlots = 8;
constexpr int kProgramSlot = kSystemSlots + kStandInSlots;

std::mutex g_lock;
DWORD g_comctlMajor = 6, g_comctlMinor = 0;
std::set<std::string> g_missingLibraries;
std::set<std::string> g_missingEntries; // "library!entry"
int g_refs[kProgramSlot] = {};
char g_tokens[kProgramSlot + 1];
std::optional<Library> g_standIns[kStandInSlots];

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
         {{"GradientFill", AsFarProc(&::GradientFill)},
          {"AlphaBlend", AsFarProc(&::AlphaBlend)},
          {"TransparentBlt", AsFarProc(&::TransparentBlt)}}},
        {"user32",
         true,
         {{"UpdateLayeredWindow", AsFarProc(&::UpdateLayeredWindow)},
          {"SetLayeredWindowAttributes", AsFarProc(&::SetLayeredWindowAttributes)},
          {"GetLayeredWindowAttributes", AsFarProc(&::GetLayeredWindowAttributes)},
          {"GetSystemMetrics", AsFarProc(&::GetSystemMetrics)},
          {"MonitorFromWindow", AsFarProc(&::MonitorFromWindow)},
          {"MonitorFromRect", AsFarProc(&::MonitorFromRect)},
          {"MonitorFromPoint", AsFarProc(&::MonitorFromPoint)},
          {"GetMonitorInfoA", AsFarProc(static_cast<BOOL (*)(HMONITOR, LPMONITORINFO)>(&::GetMonitorInfoA))},
          {"EnumDisplayMonitors", AsFarProc(&::EnumDisplayMonitors)},
          {"TrackMouseEvent", AsFarProc(&::TrackMouseEvent)}}},
        {"comctl32", false, {{"DllGetVersion", AsFarProc(&CommonControlsVersion)}, {"_TrackMouseEvent", AsFarProc(&::_TrackMouseEvent)}}},
        // The rich edit: its window class is registered with the common controls.
        {"riched32", false, {}},
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

// Caller holds the lock. The library of a slot, or null.
const Library* At(int slot)
{
    const auto& libraries = Libraries();
    if (slot >= 0 && slot < static_cast<int>(libraries.size()))
        return &libraries[static_cast<size_t>(slot)];
    if (slot >= kSystemSlots && slot < kProgramSlot && g_standIns[slot - kSystemSlots])
        return &*g_standIns[slot - kSystemSlots];
    return nullptr;
}

// Caller holds the lock. The slot of a present library (a stand-in before
// the system's own), or -1.
int Find(const std::string& name)
{
    if (g_missingLibraries.count(name))
        return -1;
    for (int i = 0; i < kStandInSlots; ++i)
        if (g_standIns[i] && g_standIns[i]->name == name)
            return kSystemSlots + i;
    const auto& libraries = Libraries();
    for (size_t i = 0; i < libraries.size(); ++i)
        if (name == libraries[i].name)
            return static_cast<int>(i);
    return -1;
}

int IndexOf(HMODULE module)
{
    auto* p = reinterpret_cast<char*>(module);
    if (p < g_tokens || p >= g_tokens + kProgramSlot)
        return -1;
    int slot = static_cast<int>(p - g_tokens);
    return At(slot) ? slot : -1;
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
    for (auto& standIn : g_standIns)
        standIn.reset();
}

bool RegisterStandInLibrary(const std::string& library, const StandInEntries& entries)
{
    std::lock_guard<std::mutex> lock(g_lock);
    std::string name = Normalise(library);
    std::optional<Library>* free = nullptr;
    for (auto& standIn : g_standIns) {
        if (standIn && standIn->name == name) {
            free = &standIn;
            break;
        }
        if (!standIn && !free)
            free = &standIn;
    }
    if (!free)
        return false;
    Library made{name, false, {}};
    for (const auto& [entry, proc] : entries)
        made.entries.push_back(EntryPoint{entry, proc});
    *free = std::move(made);
    g_refs[kSystemSlots + (free - g_standIns)] = 0;
    return true;
}

void RemoveStandInLibrary(const std::string& library)
{
    std::lock_guard<std::mutex> lock(g_lock);
    std::string name = Normalise(library);
    for (auto& standIn : g_standIns)
        if (standIn && standIn->name == name)
            standIn.reset();
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
        return reinterpret_cast<HMODULE>(&tavrin::win::g_tokens[tavrin::win::kProgramSlot]);
    std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
    int index = tavrin::win::Find(tavrin::win::Normalise(name));
    if (index < 0 || (!tavrin::win::At(index)->system && !tavrin::win::g_refs[index])) {
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
    const auto& library = *tavrin::win::At(index);
    if (!IS_INTRESOURCE(name) && !tavrin::win::g_missingLibraries.count(library.name) &&
        !tavrin::win::g_missingEntries.count(library.name + "!" + name)) {
        for (const auto& entry : library.entries)
            if (entry.name == name)
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

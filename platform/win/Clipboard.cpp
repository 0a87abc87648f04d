#include "platform/win/Clipboard.h"

#include "platform/win/Presenter.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <strings.h>
#include <vector>

namespace {

struct ClipboardState {
    std::mutex lock;
    DWORD openThread = 0;
    HWND openWindow = nullptr;
    HWND owner = nullptr;
    std::map<UINT, HGLOBAL> local;   // formats kept in the process
    HGLOBAL text = nullptr;          // CF_TEXT as last read or set
    bool textRead = false;           // text is current for this opening
    bool ownText = false;            // the desktop's text is ours
    std::string ourText;             // what we gave the desktop
    std::vector<std::string> names;  // registered formats from 0xC000
};

ClipboardState& State()
{
    static ClipboardState* state = new ClipboardState;
    return *state;
}

// Caller holds the lock.
bool OpenedHere(ClipboardState& s)
{
    if (s.openThread != GetCurrentThreadId()) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return false;
    }
    return true;
}

void FreeText(ClipboardState& s)
{
    if (s.text)
        GlobalFree(s.text);
    s.text = nullptr;
    s.textRead = false;
}

void FreeLocal(ClipboardState& s)
{
    for (auto& entry : s.local)
        GlobalFree(entry.second);
    s.local.clear();
}

std::string BlockText(HGLOBAL data)
{
    const SIZE_T size = GlobalSize(data);
    auto* bytes = static_cast<const char*>(GlobalLock(data));
    if (!bytes)
        return std::string();
    std::string text(bytes, strnlen(bytes, size));
    GlobalUnlock(data);
    return text;
}

HGLOBAL TextBlock(const std::string& text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (auto* bytes = static_cast<char*>(GlobalLock(block))) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(block);
    }
    return block;
}

// Our own formats belong with the text we put on the desktop: once another
// program has copied, they are gone too. Caller holds the lock.
void DropLocalIfTaken(ClipboardState& s)
{
    if (!s.ownText)
        return;
    std::string now;
    if (!tavrin::display::GetPresenter().GetClipboardText(now))
        now.clear(); // an emptied desktop clipboard may read as none
    if (now != s.ourText) {
        s.ownText = false;
        FreeLocal(s);
    }
}

} // namespace

BOOL OpenClipboard(HWND owner)
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    if (s.openThread && s.openThread != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    s.openThread = GetCurrentThreadId();
    s.openWindow = owner;
    s.textRead = false; // the desktop's text may have changed since
    return TRUE;
}

BOOL CloseClipboard()
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    if (!OpenedHere(s))
        return FALSE;
    s.openThread = 0;
    s.openWindow = nullptr;
    return TRUE;
}

BOOL EmptyClipboard()
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    if (!OpenedHere(s))
        return FALSE;
    FreeText(s);
    FreeLocal(s);
    s.owner = s.openWindow;
    s.ourText.clear();
    s.ownText = tavrin::display::GetPresenter().SetClipboardText(std::string());
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data)
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    if (!OpenedHere(s))
        return nullptr;
    // Rendering on request is not offered: the data must come now.
    if (!format || !data || !tavrin::win::IsGlobalBlock(data)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (format == CF_TEXT) {
        std::string text = BlockText(data);
        if (!tavrin::display::GetPresenter().SetClipboardText(text)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        FreeText(s);
        s.text = data;
        s.textRead = true;
        s.ourText = text;
        s.ownText = true;
        return data;
    }
    auto it = s.local.find(format);
    if (it != s.local.end() && it->second != data)
        GlobalFree(it->second);
    s.local[format] = data;
    return data;
}

HANDLE GetClipboardData(UINT format)
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    if (!OpenedHere(s))
        return nullptr;
    if (format == CF_TEXT) {
        if (!s.textRead) {
            FreeText(s);
            std::string text;
            if (!tavrin::display::GetPresenter().GetClipboardText(text) || text.empty())
                return nullptr;
            s.text = TextBlock(text);
            s.textRead = true;
        }
        return s.text;
    }
    DropLocalIfTaken(s);
    auto it = s.local.find(format);
    return it == s.local.end() ? nullptr : it->second;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    if (format == CF_TEXT) {
        std::string text;
        return tavrin::display::GetPresenter().GetClipboardText(text) && !text.empty();
    }
    DropLocalIfTaken(s);
    return s.local.count(format) ? TRUE : FALSE;
}

UINT RegisterClipboardFormatA(LPCSTR name)
{
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    for (size_t i = 0; i < s.names.size(); ++i)
        if (strcasecmp(s.names[i].c_str(), name) == 0)
            return static_cast<UINT>(0xC000 + i);
    if (s.names.size() >= 0x3FFF) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return 0;
    }
    s.names.push_back(name);
    return static_cast<UINT>(0xC000 + s.names.size() - 1);
}

int GetClipboardFormatNameA(UINT format, LPSTR buffer, int size)
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    if (format < 0xC000 || format - 0xC000 >= s.names.size() || !buffer || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string& name = s.names[format - 0xC000];
    const size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

HWND GetClipboardOwner()
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    return s.owner;
}

HWND GetOpenClipboardWindow()
{
    auto& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    return s.openThread ? s.openWindow : nullptr;
}

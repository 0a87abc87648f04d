#include "platform/win/FileDialog.h"

#include "platform/base/Path.h"
#include "platform/win/Focus.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Window.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <sys/stat.h>

namespace tavrin::win {

namespace {

struct Answer {
    std::string path;
    int filterIndex;
};

struct DialogState {
    std::mutex lock;
    FileDialogPresenter presenter;
    std::deque<Answer> answers;
    std::vector<FileDialogRequest> log;
};

DialogState& State()
{
    static auto* state = new DialogState;
    return *state;
}

thread_local DWORD t_error = 0;

// Limits on what is read from the caller's record.
constexpr size_t kMaxFilterPairs = 256;
constexpr size_t kMaxFilterText = 32768;
// A user who keeps choosing names the dialog refuses gets a cancel.
constexpr int kMaxRounds = 64;

bool Ask(const FileDialogRequest& request, std::string& path, int& filterIndex)
{
    DialogState& state = State();
    FileDialogPresenter presenter;
    {
        std::lock_guard<std::mutex> lock(state.lock);
        state.log.push_back(request);
        if (!state.answers.empty()) {
            Answer a = state.answers.front();
            state.answers.pop_front();
            path = a.path;
            if (a.filterIndex > 0)
                filterIndex = a.filterIndex;
            return !path.empty();
        }
        presenter = state.presenter;
    }
    if (presenter)
        return presenter(request, path, filterIndex);
    std::fprintf(stderr, "[FileDialog] %s: no one to answer, cancelled\n", request.save ? "save" : "open");
    return false;
}

// Position after the last backslash (a 0x5C trail byte is not one).
size_t NameStart(const std::string& gbk)
{
    size_t start = 0;
    for (size_t i = 0; i < gbk.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(gbk[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size())
            ++i;
        else if (c == '\\' || c == '/' || (c == ':' && i == 1))
            start = i + 1;
    }
    return start;
}

bool IsAbsolute(const std::string& gbk)
{
    return (!gbk.empty() && (gbk[0] == '\\' || gbk[0] == '/')) || (gbk.size() >= 2 && gbk[1] == ':');
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty() || IsAbsolute(name))
        return name;
    return NameStart(folder) == folder.size() ? folder + name : folder + "\\" + name;
}

bool Exists(const std::string& gbk, bool folder)
{
    const std::string native = NativePath(gbk);
    struct stat st{};
    return !native.empty() && stat(native.c_str(), &st) == 0 && (folder ? S_ISDIR(st.st_mode) : true);
}

std::vector<std::pair<std::string, std::string>> ParseFilters(LPCSTR filter)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!filter)
        return pairs;
    const char* p = filter;
    size_t total = 0;
    while (*p && pairs.size() < kMaxFilterPairs) {
        const size_t descriptionLength = strnlen(p, kMaxFilterText - total);
        std::string description(p, descriptionLength);
        p += descriptionLength + 1;
        total += descriptionLength + 1;
        if (total >= kMaxFilterText)
            break;
        const size_t patternLength = strnlen(p, kMaxFilterText - total);
        std::string pattern(p, patternLength);
        p += patternLength + 1;
        total += patternLength + 1;
        pairs.emplace_back(std::move(description), std::move(pattern));
        if (total >= kMaxFilterText)
            break;
    }
    return pairs;
}

int Say(HWND owner, const std::string& text, const std::string& title, UINT type)
{
    return MessageBoxA(owner, text.c_str(), title.c_str(), type);
}

BOOL Run(LPOPENFILENAMEA ofn, bool save)
{
    t_error = 0;
    if (!ofn) {
        t_error = CDERR_INITIALIZATION;
        return FALSE;
    }
    if (ofn->lStructSize != sizeof(OPENFILENAMEA) && ofn->lStructSize != OPENFILENAME_SIZE_FULL &&
        ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400) {
        t_error = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        t_error = CDERR_INITIALIZATION;
        return FALSE;
    }
    FileDialogRequest request;
    request.owner = ofn->hwndOwner;
    request.save = save;
    request.title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
    request.filters = ParseFilters(ofn->lpstrFilter);
    request.filterIndex = ofn->nFilterIndex ? static_cast<int>(ofn->nFilterIndex) : 1;
    if (request.filterIndex > static_cast<int>(request.filters.size()))
        request.filterIndex = request.filters.empty() ? 0 : 1;
    request.defaultExtension = ofn->lpstrDefExt ? ofn->lpstrDefExt : "";
    request.flags = ofn->Flags;
    const std::string initial(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
    const size_t nameStart = NameStart(initial);
    request.name = initial.substr(nameStart);
    request.folder = nameStart ? initial.substr(0, nameStart) : std::string(ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "");
    const std::string title = !request.title.empty() ? request.title : save ? "另存为" : "打开";

    // Modal to the owner's top-level window.
    HWND top = ofn->hwndOwner ? GetAncestor(ofn->hwndOwner, GA_ROOT) : nullptr;
    const bool disabled = top && IsWindowEnabled(top);
    if (disabled)
        EnableWindow(top, FALSE);

    std::string path;
    int filterIndex = request.filterIndex;
    bool chosen = false;
    for (int round = 0; round < kMaxRounds && !chosen; ++round) {
        std::string answer;
        if (!Ask(request, answer, filterIndex))
            break;
        path = Join(request.folder, answer);
        const size_t start = NameStart(path);
        std::string name = path.substr(start);
        if (name.empty() || name.find_first_of("<>\"|?*:") != std::string::npos) {
            Say(ofn->hwndOwner, path + "\n文件名无效。", title, MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        if (!request.defaultExtension.empty() && name.find('.') == std::string::npos)
            path += "." + request.defaultExtension;
        const std::string folder = path.substr(0, start);
        if ((ofn->Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !folder.empty() && !Exists(folder, true)) {
            Say(ofn->hwndOwner, path + "\n路径不存在。\n请检查路径是否正确，然后重试。", title,
                MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        if (!save && (ofn->Flags & OFN_FILEMUSTEXIST) && !Exists(path, false)) {
            Say(ofn->hwndOwner, path + "\n找不到文件。\n请检查文件名是否正确，然后重试。", title,
                MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        if (save && (ofn->Flags & OFN_OVERWRITEPROMPT) && Exists(path, false) &&
            Say(ofn->hwndOwner, path + " 已存在。\n要替换它吗？", title, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            continue;
        chosen = true;
    }

    if (disabled && IsWindow(top)) {
        EnableWindow(top, TRUE);
        SetActiveWindow(top);
    }
    if (!chosen)
        return FALSE;

    if (path.size() + 1 > ofn->nMaxFile) {
        // The documented way to tell the size needed.
        if (ofn->nMaxFile >= 2) {
            const WORD needed = static_cast<WORD>(std::min<size_t>(path.size() + 1, 0xFFFF));
            memcpy(ofn->lpstrFile, &needed, sizeof needed);
        }
        t_error = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    const size_t start = NameStart(path);
    const std::string name = path.substr(start);
    const size_t dot = name.rfind('.');
    ofn->nFileOffset = static_cast<WORD>(start);
    ofn->nFileExtension = dot == std::string::npos ? 0 : static_cast<WORD>(start + dot + 1);
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle) {
        const size_t n = std::min<size_t>(name.size(), ofn->nMaxFileTitle - 1);
        memcpy(ofn->lpstrFileTitle, name.data(), n);
        ofn->lpstrFileTitle[n] = 0;
    }
    if (filterIndex > 0)
        ofn->nFilterIndex = static_cast<DWORD>(filterIndex);
    if (ofn->Flags & OFN_HIDEREADONLY)
        ofn->Flags &= ~static_cast<DWORD>(OFN_READONLY);
    return TRUE;
}

} // namespace

void SetFileDialogPresenter(FileDialogPresenter presenter)
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().presenter = std::move(presenter);
}

void QueueFileDialogAnswer(const std::string& gbkPath, int filterIndex)
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().answers.push_back(Answer{gbkPath, filterIndex});
}

void ClearFileDialogAnswers()
{
    std::lock_guard<std::mutex> lock(State().lock);
    State().answers.clear();
}

std::vector<FileDialogRequest> TakeFileDialogLog()
{
    std::lock_guard<std::mutex> lock(State().lock);
    std::vector<FileDialogRequest> log;
    log.swap(State().log);
    return log;
}

} // namespace tavrin::win

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    return tavrin::win::Run(ofn, false);
}

BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn)
{
    return tavrin::win::Run(ofn, true);
}

DWORD CommDlgExtendedError()
{
    return tavrin::win::t_error;
}

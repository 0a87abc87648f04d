// The desktop's message box and file chooser. Each runs modal to its owner
// inside our own message loop, so the program's windows keep painting, its
// timers keep running and a box may open inside another.
#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/browser/Browser.h"
#include "platform/display/GtkHost.h"
#include "platform/display/GtkParts.h"
#include "platform/display/MessageBoxButtons.h"
#include "platform/win/FileDialog.h"
#include "platform/win/Focus.h"
#include "platform/win/MessageBox.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Window.h"

#include <gtk/gtk.h>

#include <map>
#include <vector>

namespace tavrin::display::gtk {

namespace {

struct OpenDialog {
    GtkWidget* dialog;
    std::map<int, int> responses; // our answer -> GTK response
};

std::vector<OpenDialog>& OpenDialogs()
{
    static auto* dialogs = new std::vector<OpenDialog>;
    return *dialogs;
}

struct Run {
    int response = 0;
    bool done = false;
    DWORD thread = 0;
};

void OnResponse(GtkDialog*, gint response, gpointer data)
{
    auto* run = static_cast<Run*>(data);
    run->response = response;
    run->done = true;
    PostThreadMessageA(run->thread, WM_NULL, 0, 0); // wakes our loop
}

const char* Label(int answer)
{
    // The system's own button texts (UTF-8 for GTK).
    switch (answer) {
    case IDOK: return reinterpret_cast<const char*>(u8"确定");
    case IDCANCEL: return reinterpret_cast<const char*>(u8"取消");
    case IDABORT: return reinterpret_cast<const char*>(u8"中止(_A)");
    case IDRETRY: return reinterpret_cast<const char*>(u8"重试(_R)");
    case IDIGNORE: return reinterpret_cast<const char*>(u8"忽略(_I)");
    case IDYES: return reinterpret_cast<const char*>(u8"是(_Y)");
    case IDNO: return reinterpret_cast<const char*>(u8"否(_N)");
    case IDTRYAGAIN: return reinterpret_cast<const char*>(u8"重试(_T)");
    case IDCONTINUE: return reinterpret_cast<const char*>(u8"继续(_C)");
    default: return "?";
    }
}

GtkMessageType Kind(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return GTK_MESSAGE_ERROR;
    case MB_ICONQUESTION: return GTK_MESSAGE_QUESTION;
    case MB_ICONEXCLAMATION: return GTK_MESSAGE_WARNING;
    case MB_ICONASTERISK: return GTK_MESSAGE_INFO;
    default: return GTK_MESSAGE_OTHER;
    }
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    const MessageBoxButtons buttons = GetMessageBoxButtons(type);
    GtkWidget* dialog = gtk_message_dialog_new(GtkWindowOf(owner), GTK_DIALOG_DESTROY_WITH_PARENT, Kind(type),
                                               GTK_BUTTONS_NONE, "%s", GbkToUtf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), GbkToUtf8(caption).c_str());
    OpenDialog open{dialog, {}};
    for (int answer : buttons.answers) {
        gtk_dialog_add_button(GTK_DIALOG(dialog), Label(answer), answer);
        open.responses[answer] = answer;
    }
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), buttons.defaultAnswer);
    if (type & (MB_TOPMOST | MB_SYSTEMMODAL))
        gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    OpenDialogs().push_back(open);
    const int response = RunDialog(dialog, owner, buttons.closeAnswer);
    gtk_widget_destroy(dialog);
    return response > 0 ? response : buttons.closeAnswer;
}

std::vector<std::string> ChooseFilesFromDesktop(bool multiple)
{
    HWND owner = GetActiveWindow();
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        reinterpret_cast<const char*>(u8"选择文件"), GtkWindowOf(owner), GTK_FILE_CHOOSER_ACTION_OPEN, Label(IDCANCEL),
        GTK_RESPONSE_CANCEL, reinterpret_cast<const char*>(u8"打开(_O)"), GTK_RESPONSE_ACCEPT, nullptr);
    gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(dialog), multiple);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
    OpenDialogs().push_back(OpenDialog{dialog, {{IDOK, GTK_RESPONSE_ACCEPT}, {IDCANCEL, GTK_RESPONSE_CANCEL}}});
    std::vector<std::string> picked;
    if (RunDialog(dialog, owner, GTK_RESPONSE_CANCEL) == GTK_RESPONSE_ACCEPT) {
        GSList* files = gtk_file_chooser_get_filenames(GTK_FILE_CHOOSER(dialog));
        for (GSList* f = files; f; f = f->next) {
            picked.push_back(ProgramPath(static_cast<const char*>(f->data)).Str());
            g_free(f->data);
        }
        g_slist_free(files);
    }
    gtk_widget_destroy(dialog);
    return picked;
}

// The open and save dialogs of the window system: the chooser starts in the
// request's folder with its name, shows its filters and leaves the overwrite
// question to the caller.
bool ChooseFileForDialog(const win::FileDialogRequest& request, std::string& path, int& filterIndex)
{
    const GtkFileChooserAction action = request.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN;
    const char* accept = request.save ? reinterpret_cast<const char*>(u8"保存(_S)") : reinterpret_cast<const char*>(u8"打开(_O)");
    const std::string title = !request.title.empty() ? GbkToUtf8(request.title)
                              : request.save        ? reinterpret_cast<const char*>(u8"另存为")
                                                    : reinterpret_cast<const char*>(u8"打开");
    GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), GtkWindowOf(request.owner), action, Label(IDCANCEL),
                                                    GTK_RESPONSE_CANCEL, accept, GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, FALSE);
    std::vector<GtkFileFilter*> filters;
    for (const auto& [description, patterns] : request.filters) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, GbkToUtf8(description).c_str());
        size_t start = 0;
        while (start <= patterns.size()) {
            size_t end = patterns.find(';', start);
            if (end == std::string::npos)
                end = patterns.size();
            if (end > start)
                gtk_file_filter_add_pattern(filter, GbkToUtf8(patterns.substr(start, end - start)).c_str());
            start = end + 1;
        }
        gtk_file_chooser_add_filter(chooser, filter); // the chooser owns it
        filters.push_back(filter);
    }
    if (request.filterIndex >= 1 && request.filterIndex <= static_cast<int>(filters.size()))
        gtk_file_chooser_set_filter(chooser, filters[request.filterIndex - 1]);
    const std::string folder = request.folder.empty() ? std::string() : NativePath(request.folder);
    if (!folder.empty())
        gtk_file_chooser_set_current_folder(chooser, folder.c_str());
    if (request.save && !request.name.empty())
        gtk_file_chooser_set_current_name(chooser, GbkToUtf8(request.name).c_str());
    OpenDialogs().push_back(OpenDialog{dialog, {{IDOK, GTK_RESPONSE_ACCEPT}, {IDCANCEL, GTK_RESPONSE_CANCEL}}});
    bool chosen = false;
    if (RunDialog(dialog, request.owner, GTK_RESPONSE_CANCEL) == GTK_RESPONSE_ACCEPT) {
        if (gchar* file = gtk_file_chooser_get_filename(chooser)) {
            path = ProgramPath(file).Str();
            chosen = !path.empty();
            g_free(file);
        }
        GtkFileFilter* used = gtk_file_chooser_get_filter(chooser);
        for (size_t i = 0; i < filters.size(); ++i)
            if (filters[i] == used)
                filterIndex = static_cast<int>(i + 1);
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

} // namespace

int RunDialog(GtkWidget* dialog, HWND owner, int deleteResponse)
{
    // Modal to the owner's top-level window, as a box of the platform is.
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    const bool disable = top && IsWindowEnabled(top);
    if (disable)
        EnableWindow(top, FALSE);
    Run run;
    run.thread = GetCurrentThreadId();
    const gulong handler = g_signal_connect(dialog, "response", G_CALLBACK(OnResponse), &run);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_widget_show_all(dialog);
    gtk_window_present(GTK_WINDOW(dialog));
    MSG msg;
    while (!run.done) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is quitting: the box closes and the quit goes on.
            PostQuitMessage(static_cast<int>(msg.wParam));
            run.response = deleteResponse;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_signal_handler_disconnect(dialog, handler);
    auto& open = OpenDialogs();
    std::erase_if(open, [&](const OpenDialog& d) { return d.dialog == dialog; });
    gtk_widget_hide(dialog);
    if (disable && IsWindow(top)) {
        EnableWindow(top, TRUE);
        SetActiveWindow(top);
    }
    return run.response == GTK_RESPONSE_DELETE_EVENT ? deleteResponse : run.response;
}

bool AnswerOpenDialog(int answer)
{
    auto& open = OpenDialogs();
    if (open.empty())
        return false;
    const OpenDialog& newest = open.back();
    auto it = newest.responses.find(answer);
    if (it == newest.responses.end())
        return false;
    gtk_dialog_response(GTK_DIALOG(newest.dialog), it->second);
    return true;
}

void InstallDialogs()
{
    win::SetMessageBoxPresenter(ShowMessageBox);
    browser::SetFileChooser(ChooseFilesFromDesktop);
    win::SetFileDialogPresenter(ChooseFileForDialog);
}

} // namespace tavrin::display::gtk

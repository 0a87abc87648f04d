// The window system's save dialog on a real display: the desktop's chooser
// opens modal to its owner in the request's folder with the suggested name,
// and its own accept button answers it.
#include "platform/display/GtkPresenter.h"
#include "platform/win/FileDialog.h"
#include "platform/win/Focus.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Timer.h"
#include "platform/win/Window.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

using namespace tavrin;

namespace {

display::GtkPresenter* g_presenter = nullptr;
bool g_ownerDisabled = false;
int g_ticks = 0;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == 1) {
        // Runs inside the chooser's modal loop. The chooser ignores an accept
        // while it is still reading its folder, so it is pressed again until
        // the chooser has closed.
        ++g_ticks;
        if (g_presenter->AnswerDialog(IDOK))
            g_ownerDisabled = !IsWindowEnabled(hwnd);
        if (g_ticks > 400) {
            KillTimer(hwnd, 1);
            g_presenter->AnswerDialog(IDCANCEL);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

TEST(FileChooserDisplay, SaveDialogIsAnsweredOnTheDesktop)
{
    if (!std::getenv("DISPLAY") || !(g_presenter = display::StartGtkPresenter()))
        GTEST_SKIP() << "no display";
    win::ClearFileDialogAnswers();
    test::TempDir dir;
    std::string folder = dir.Path().string();
    for (char& c : folder)
        if (c == '/')
            c = '\\';

    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = "TavrinChooserOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "export", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    SetTimer(owner, 1, 50, nullptr);

    char file[MAX_PATH] = "20050301_20050331";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_FULL;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "HTML (*.htm)\0*.htm\0\0";
    ofn.lpstrDefExt = "htm";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    ASSERT_TRUE(GetSaveFileNameA(&ofn)) << "ticks " << g_ticks;
    KillTimer(owner, 1);
    EXPECT_EQ(std::string(file), folder + "\\20050301_20050331.htm");
    EXPECT_TRUE(g_ownerDisabled) << "the owner is disabled while the chooser is open";
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

// Shared pieces of the main window's headless tests: the frame built in a
// program folder of its own, accounts and classes made in memory, and a
// driver that answers the modal dialogs the code under test opens.
#pragma once

#include "app/MainFrm.h"
#include "app/TavrinView.h"
#include "platform/mfc/WinApp.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>

class CAccount;
class CSchoolClass;

namespace tavrin::test {

// Acts on the modal dialogs as they come up: each step waits for a dialog
// of its title and runs once, when that dialog first becomes active. A step
// sets fields and posts the button it wants.
class DialogDriver {
public:
    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    void Then(const std::string& title, std::function<void(HWND)> step);
    // Steps not run yet.
    size_t Pending() const { return m_steps.size(); }
    // Titles of the dialogs seen, in order (each one once per showing).
    std::vector<std::string> seen;

    static std::string Text(HWND dialog, int id);
    static void SetText(HWND dialog, int id, const char* text);
    static void Press(HWND dialog, int id);

private:
    void OnActivate(HWND hwnd);
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hook = nullptr;
    std::deque<std::pair<std::string, std::function<void(HWND)>>> m_steps;
    static DialogDriver* s_current;
};

// Writes an account file into the program folder the way the program does,
// so a run finds an account and asks nothing at start. The 5460 provider is
// registered first. True when written.
bool PrepareAccount(const std::filesystem::path& programFolder, const char* folderName, const char* userName,
                    const char* custoName, const char* accessPassword = nullptr);

// The main frame with its views, made headless in a temporary program
// folder that holds a copy of the styles; the providers are registered.
class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CTavrinView& Tree() { return *m_frame->m_pTreeView; }
    CTreeCtrl& TreeCtrl() { return m_frame->m_pTreeView->GetTreeCtrl(); }
    // The program folder as the program writes it ('\' separators).
    CString AppDir() const;
    std::filesystem::path AppPath() const { return m_dir.Path(); }
    // A listed account of the provider, its data folder under accounts.
    CAccount* AddAccount(const char* userName, const char* provider = "5460(电信用户)",
                         const char* custoName = "");
    // A class of the account with its stores; unread items as asked.
    CSchoolClass* AddClass(CAccount* account, const char* id, const char* custoName, int unreadMessages = 0,
                           int unreadPictures = 0, int unreadNotes = 0);
    // The caption bar's text.
    std::string Caption() const;
    // "label[image]" of an item and its children in tree order, "(...)" around
    // children, "+" after an expanded item and "*" after a bold one.
    std::string Outline(HTREEITEM item);
    std::string Outline() { return Outline(TreeCtrl().GetRootItem()); }
    void Pump();

    TempDir m_dir;
    CWinApp m_app;
    CMainFrame* m_frame = nullptr;
    HWND m_hwnd = nullptr;
};

} // namespace tavrin::test

// What the presenter derives from the desktop: the taskbar beside a work
// area, and the buttons, Enter answer and closing answer of a message box.
#include "platform/display/Desktop.h"
#include "platform/display/MessageBoxButtons.h"
#include "platform/win/MessageBox.h"

#include <gtest/gtest.h>

using namespace tavrin::display;

namespace {

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST(TaskbarFromWorkArea, ThePanelIsTheStripTheWorkAreaLeaves)
{
    const RECT screen{0, 0, 1280, 1024};
    struct Case {
        RECT work;
        UINT edge;
        RECT taskbar;
    } cases[] = {
        {{0, 0, 1280, 994}, 3, {0, 994, 1280, 1024}},
        {{0, 28, 1280, 1024}, 1, {0, 0, 1280, 28}},
        {{48, 0, 1280, 1024}, 0, {0, 0, 48, 1024}},
        {{0, 0, 1232, 1024}, 2, {1232, 0, 1280, 1024}},
        // Panels on two edges: the wider one is the taskbar.
        {{0, 24, 1280, 976}, 3, {0, 976, 1280, 1024}},
        // No panel at all.
        {{0, 0, 1280, 1024}, 3, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const TaskbarPlace place = TaskbarFromWorkArea(screen, c.work);
        EXPECT_EQ(place.edge, c.edge) << c.work.top << "," << c.work.bottom;
        EXPECT_TRUE(Same(place.rect, c.taskbar)) << c.work.top << "," << c.work.bottom;
    }
    // A second monitor to the right keeps its own coordinates.
    const TaskbarPlace right = TaskbarFromWorkArea(RECT{1280, 0, 2560, 1024}, RECT{1280, 0, 2560, 990});
    EXPECT_TRUE(Same(right.rect, RECT{1280, 990, 2560, 1024}));
}

TEST(MessageBoxButtons, ClosingNeverPicksTheCommittingAnswer)
{
    struct Case {
        UINT type;
        std::vector<int> answers;
        int enter;
        int close;
    } cases[] = {
        {MB_OK, {IDOK}, IDOK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, IDYES, IDNO},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDYES, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, IDABORT},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY, IDCANCEL},
        {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, IDCANCEL, IDCANCEL},
    };
    for (const Case& c : cases) {
        const MessageBoxButtons b = GetMessageBoxButtons(c.type);
        EXPECT_EQ(b.answers, c.answers) << c.type;
        EXPECT_EQ(b.defaultAnswer, c.enter) << c.type;
        EXPECT_EQ(b.closeAnswer, c.close) << c.type;
    }
}

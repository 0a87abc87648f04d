// The verification-code dialog headless: the 4-byte rule with its error box,
// the missing picture replaced by the styles folder's, and the GIF control
// painting only the first frame at its own offset.
#include "app/GifCtrl.h"
#include "app/dialogs/VerifyCodeDlg.h"
#include "platform/base/Path.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/Edit.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/MessageBox.h"
#include "platform/win/User.h"
#include "res/resource.h"
#include "tests/app/ComposeTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace tavrin::test;

namespace {

constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;

// Runs a step once the modal loop is idle.
class CProbeVerifyCodeDlg : public CVerifyCodeDlg {
public:
    std::function<void(CProbeVerifyCodeDlg&)> step;
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (step) {
            auto run = std::move(step);
            step = nullptr;
            run(*this);
        }
        return 0;
    }
    void Type(const char* text) { SetDlgItemText(IDC_VERIFY_CODE, text); }
    void Click(int id) { ::SendMessageA(::GetDlgItem(m_hWnd, id), BM_CLICK, 0, 0); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProbeVerifyCodeDlg, CVerifyCodeDlg)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class VerifyCodeDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::InitCommonControls();
        tavrin::win::ClearMessageBoxAnswers();
        tavrin::win::TakeMessageBoxLog();
        tavrin::SetProgramFolder(CString(m_temp.Path().string().c_str()));
        // The code picture: red first frame at (5, 3), green second frame over all.
        WriteFile(m_temp.Path() / "class" / "auth.gif",
                  SolidFramesGif(40, 12, {{5, 3, 10, 6, 1}, {0, 0, 40, 12, 2}}));
        WriteFile(m_temp.Path() / "styles" / "common" / "images" / "auth_missing.gif",
                  SolidFramesGif(20, 8, {{2, 1, 8, 4, 3}}));
    }
    void TearDown() override
    {
        tavrin::SetProgramFolder(CString());
        tavrin::win::ClearMessageBoxAnswers();
    }
    CString ImagePath(const char* name) const { return CString((m_temp.Path() / "class" / name).string().c_str()); }
    CWinApp m_app;
    TempDir m_temp;
};

} // namespace

TEST_F(VerifyCodeDlgTest, OnlyFourBytesClose)
{
    struct Case {
        const char* typed;
        bool accepted;
    } cases[] = {
        {"abc", false}, {"abcde", false}, {"", false},   {"甲", false},
        {"aBc9", true}, {"甲乙", true},   {"a甲b", true}, {" ab ", true},
    };
    for (const Case& c : cases) {
        CProbeVerifyCodeDlg dlg;
        dlg.SetImagePath(ImagePath("auth.gif"));
        std::vector<tavrin::win::MessageBoxRecord> boxes;
        dlg.step = [&](CProbeVerifyCodeDlg& d) {
            d.Type(c.typed);
            d.Click(IDOK);
            boxes = tavrin::win::TakeMessageBoxLog();
            if (!boxes.empty()) {
                // Still open, the whole code selected in its focused edit.
                HWND edit = ::GetDlgItem(d.m_hWnd, IDC_VERIFY_CODE);
                EXPECT_EQ(::GetFocus(), edit) << c.typed;
                DWORD start = 0, end = 0;
                ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                EXPECT_EQ(start, 0u) << c.typed;
                EXPECT_EQ(end, std::string(c.typed).size()) << c.typed;
            }
            // Reached only while the dialog still runs.
            d.step = [](CProbeVerifyCodeDlg& again) { again.Click(IDCANCEL); };
        };
        const INT_PTR result = dlg.DoModal();
        EXPECT_EQ(result, c.accepted ? IDOK : IDCANCEL) << c.typed;
        if (c.accepted) {
            EXPECT_TRUE(boxes.empty()) << c.typed;
            EXPECT_EQ(std::string(dlg.m_strCode.View()), c.typed);
        } else {
            ASSERT_EQ(boxes.size(), 1u) << c.typed;
            EXPECT_EQ(boxes[0].text, "请正确输入图中的4位验证码字符！");
            EXPECT_EQ(boxes[0].caption, "错误");
            EXPECT_EQ(boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
        }
    }
}

TEST_F(VerifyCodeDlgTest, OpensTopmostWithTheCodeEditFocused)
{
    CProbeVerifyCodeDlg dlg;
    dlg.SetImagePath(ImagePath("auth.gif"));
    dlg.step = [](CProbeVerifyCodeDlg& d) {
        CString title;
        d.GetWindowText(title);
        EXPECT_EQ(std::string(title.View()), "认证信息");
        EXPECT_TRUE(d.GetExStyle() & WS_EX_TOPMOST);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(d.m_hWnd, IDC_VERIFY_CODE));
        CString code;
        d.GetDlgItemText(IDC_VERIFY_CODE, code);
        EXPECT_TRUE(code.IsEmpty());
        d.Click(IDCANCEL);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.m_strCode.IsEmpty());
}

TEST_F(VerifyCodeDlgTest, ThePictureOrTheMissingOneIsShown)
{
    struct Case {
        const char* what;
        CString path;
        POINT inside; // a pixel of the first frame
        DWORD colour;
    } cases[] = {
        {"the code picture", ImagePath("auth.gif"), {7, 5}, kRed},
        {"a deleted picture", ImagePath("gone.gif"), {4, 2}, kBlue},
    };
    for (const Case& c : cases) {
        CProbeVerifyCodeDlg dlg;
        dlg.SetImagePath(c.path);
        dlg.step = [&](CProbeVerifyCodeDlg& d) {
            HWND picture = ::GetDlgItem(d.m_hWnd, IDC_VERIFY_PICTURE);
            ::UpdateWindow(d.m_hWnd);
            EXPECT_EQ(ShownPixel(picture, c.inside.x, c.inside.y), c.colour) << c.what;
            d.Click(IDCANCEL);
        };
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.what;
    }
}

TEST(GifCtrl, PaintsTheFirstFrameAtItsOffset)
{
    TempDir temp;
    const auto twoFrames = temp.Path() / "two.gif";
    WriteFile(twoFrames, SolidFramesGif(40, 12, {{5, 3, 10, 6, 1}, {0, 0, 40, 12, 2}}));
    const auto broken = temp.Path() / "broken.gif";
    WriteFile(broken, "GIF89a\x28\x00");
    struct Case {
        const char* what;
        std::string path; // empty: nothing loaded
        bool red;
    } cases[] = {
        {"two frames", twoFrames.string(), true},
        {"a file that does not decode", broken.string(), false},
        {"a file that is not there", (temp.Path() / "none.gif").string(), false},
        {"nothing loaded", "", false},
    };
    for (const Case& c : cases) {
        CWnd parent;
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, nullptr, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))),
                                    "", WS_POPUP | WS_VISIBLE, 100, 100, 120, 60, nullptr, nullptr));
        CGifCtrl picture;
        ASSERT_TRUE(picture.Create("", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, CRect(10, 10, 73, 38), &parent, 1029));
        if (!c.path.empty())
            picture.LoadImage(CString(c.path.c_str()));
        parent.UpdateWindow();
        HWND h = picture.m_hWnd;
        int red = 0;
        int green = 0;
        for (int y = 0; y < 28; ++y)
            for (int x = 0; x < 63; ++x) {
                const DWORD px = ShownPixel(h, x, y);
                red += px == kRed;
                green += px == kGreen;
            }
        EXPECT_EQ(red, c.red ? 60 : 0) << c.what;
        EXPECT_EQ(green, 0) << c.what << ": only the first frame";
        if (c.red) {
            EXPECT_EQ(ShownPixel(h, 5, 3), kRed) << c.what;
            EXPECT_EQ(ShownPixel(h, 14, 8), kRed) << c.what;
            EXPECT_NE(ShownPixel(h, 4, 3), kRed) << c.what;
            EXPECT_NE(ShownPixel(h, 15, 9), kRed) << c.what;
        }
        EXPECT_EQ(ShownPixel(h, 0, 0), 0u) << c.what << ": the black frame";
        EXPECT_EQ(ShownPixel(h, 62, 27), 0u) << c.what;
        picture.DestroyWindow();
        parent.DestroyWindow();
    }
}

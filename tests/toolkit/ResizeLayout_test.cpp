// The resize layout on a real dialog from a template: anchored controls
// moved and sized as the dialog grows, fractions kept between passes, the
// minimum tracking size, the size grip only with a resizing border, group
// boxes made transparent and repainted.
#include "platform/controls/CommCtrl.h"
#include "tests/support/TestControls.h"
#include "tests/toolkit/ControlTestHost.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTResizeDialog.h"
#include "platform/mfc/Resource.h"
#include "tests/toolkit/ResizeTestForm.h"

#include <memory>
#include <vector>

using tavrin::test::PumpQueue;

namespace {

enum { IDC_A = 101, IDC_B, IDC_C, IDC_D, IDC_E, IDC_GROUP, IDC_LATE };

struct Anchor {
    UINT id;
    CXTAnchorRect anchor;
};

std::unique_ptr<tavrin::test::TemplateBuilder> Template(DWORD style)
{
    auto b = std::make_unique<tavrin::test::TemplateBuilder>("缩放", style, 0, 0, 200, 140, "宋体", 9);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    b->Add("STATIC", "a", IDC_A, child, 10, 10, 40, 10)
        .Add("STATIC", "b", IDC_B, child, 10, 24, 40, 10)
        .Add("STATIC", "c", IDC_C, child, 10, 38, 40, 10)
        .Add("STATIC", "d", IDC_D, child, 10, 52, 40, 10)
        .Add("STATIC", "e", IDC_E, child, 10, 66, 40, 10)
        .Add("BUTTON", "组", IDC_GROUP, child | BS_GROUPBOX, 100, 10, 80, 60)
        .Add("STATIC", "late", IDC_LATE, child, 100, 80, 40, 10);
    return b;
}

class TestResizeDialog : public CXTResizeDialog {
public:
    TestResizeDialog(DWORD style, std::vector<Anchor> anchors, UINT flags = 0)
        : CXTResizeDialog(0, nullptr, flags), m_builder(Template(style)), m_anchors(std::move(anchors))
    {
        InitCommonControls();
        CreateIndirect(m_builder->Get(), nullptr);
        PumpQueue();
    }
    ~TestResizeDialog() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    BOOL OnInitDialog() override
    {
        CXTResizeDialog::OnInitDialog();
        for (const Anchor& a : m_anchors)
            SetResize(a.id, nullptr, a.anchor);
        return TRUE;
    }
    // Grows the window by (dx, dy) as the desktop would.
    void Grow(int dx, int dy)
    {
        CRect rc;
        GetWindowRect(&rc);
        SetWindowPos(nullptr, 0, 0, rc.Width() + dx, rc.Height() + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpQueue();
    }
    CRect Item(UINT id) const { return tavrin::test::ChildRect(this, id); }

    std::unique_ptr<tavrin::test::TemplateBuilder> m_builder;
    std::vector<Anchor> m_anchors;
};

constexpr DWORD kResizable = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;
constexpr DWORD kFixed = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;

using ResizeLayoutTest = tavrin::test::ToolkitTest;

} // namespace

TEST_F(ResizeLayoutTest, AnchoredControlsFollowTheOwner)
{
    TestResizeDialog dialog(kResizable, {
                                            {IDC_A, CXTAnchorRect(1, 0, 1, 0)},
                                            {IDC_B, CXTAnchorRect(0, 0, 1, 1)},
                                            {IDC_C, CXTAnchorRect(0.5f, 0, 0.5f, 0)},
                                            {IDC_D, CXTAnchorRect(0, 0, 0.5f, 0)},
                                            {IDC_D, CXTAnchorRect(0, 0, 0.5f, 0)},
                                            {IDC_E, CXTAnchorRect(CXTAnchorPoint(1, 1), CXTAnchorPoint(1, 1))},
                                        });
    ASSERT_TRUE(dialog.GetSafeHwnd());
    struct Case {
        UINT id;
        const char* what;
        CPoint move;
        CSize grow;
    } const cases[] = {
        {IDC_A, "(1, 0, 1, 0) moves right", {100, 0}, {0, 0}},
        {IDC_B, "(0, 0, 1, 1) grows", {0, 0}, {100, 50}},
        {IDC_C, "(0.5, 0, 0.5, 0) moves half", {50, 0}, {0, 0}},
        {IDC_D, "(0, 0, 0.5, 0) twice grows in full", {0, 0}, {100, 0}},
        {IDC_E, "(1, 1, 1, 1) from two points keeps the corner", {100, 50}, {0, 0}},
    };
    std::vector<CRect> before;
    for (const Case& c : cases)
        before.push_back(dialog.Item(c.id));
    dialog.Grow(100, 50);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const CRect after = dialog.Item(c.id);
        EXPECT_EQ(after.TopLeft() - before[i].TopLeft(), CSize(c.move.x, c.move.y)) << c.what;
        EXPECT_EQ(after.Size() - before[i].Size(), c.grow) << c.what;
    }
    // Back to the start: everything where it was.
    dialog.Grow(-100, -50);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(dialog.Item(cases[i].id), before[i]) << cases[i].what;
}

TEST_F(ResizeLayoutTest, HalfPixelStepsAddUp)
{
    TestResizeDialog dialog(kResizable, {{IDC_C, CXTAnchorRect(0.5f, 0, 0.5f, 0)}});
    const CRect start = dialog.Item(IDC_C);
    dialog.Grow(1, 0);
    EXPECT_EQ(dialog.Item(IDC_C).left, start.left) << "half a pixel is kept, not shown";
    dialog.Grow(1, 0);
    EXPECT_EQ(dialog.Item(IDC_C).left, start.left + 1) << "two halves make one";
    dialog.Grow(1, 0);
    dialog.Grow(1, 0);
    EXPECT_EQ(dialog.Item(IDC_C).left, start.left + 2);
}

TEST_F(ResizeLayoutTest, MinimumTrackingSizeIsTheInitialSize)
{
    TestResizeDialog dialog(kResizable, {});
    CRect rc;
    dialog.GetWindowRect(&rc);
    MINMAXINFO mmi{};
    mmi.ptMaxTrackSize = CPoint(5000, 5000);
    dialog.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(CPoint(mmi.ptMinTrackSize), CPoint(rc.Width(), rc.Height()));
    EXPECT_EQ(CPoint(mmi.ptMaxTrackSize), CPoint(5000, 5000)) << "no maximum";

    // Width and height held at the last pass.
    TestResizeDialog held(kResizable, {}, SZ_NOHORISONTAL | SZ_NOVERTICAL | SZ_NOMINSIZE);
    held.Grow(20, 10);
    held.GetWindowRect(&rc);
    MINMAXINFO capped{};
    held.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&capped));
    EXPECT_EQ(CPoint(capped.ptMaxTrackSize), CPoint(rc.Width(), rc.Height()));
    EXPECT_EQ(CPoint(capped.ptMaxSize), CPoint(rc.Width(), rc.Height()));
    EXPECT_EQ(CPoint(capped.ptMinTrackSize), CPoint(0, 0));
}

TEST_F(ResizeLayoutTest, SizeGripOnlyWithAResizingBorder)
{
    TestResizeDialog fixed(kFixed, {});
    EXPECT_EQ(fixed.GetDlgItem(XT_IDC_SIZEGRIP), nullptr);
    EXPECT_TRUE(fixed.GetFlags() & SZ_NOSIZEICON);

    TestResizeDialog resizable(kResizable, {});
    CWnd* grip = resizable.GetDlgItem(XT_IDC_SIZEGRIP);
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(grip->IsWindowVisible());
    EXPECT_EQ(grip, &resizable.GetSizeGrip());
    CRect client, rc;
    resizable.GetClientRect(&client);
    grip->GetWindowRect(&rc);
    resizable.ScreenToClient(&rc);
    EXPECT_EQ(rc.BottomRight(), CPoint(client.right - 1, client.bottom - 1));
    resizable.Grow(30, 20);
    grip->GetWindowRect(&rc);
    resizable.ScreenToClient(&rc);
    EXPECT_EQ(rc.BottomRight(), CPoint(client.right + 29, client.bottom + 19)) << "kept in the corner";
    EXPECT_EQ(grip->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(grip->GetSafeHwnd()), HTCLIENT), TRUE);
}

TEST_F(ResizeLayoutTest, GroupBoxesAreTransparentAndRepainted)
{
    TestResizeDialog dialog(kResizable, {{IDC_GROUP, CXTAnchorRect(0, 0, 1, 1)}, {IDC_A, CXTAnchorRect(1, 0, 1, 0)}});
    CWnd* group = dialog.GetDlgItem(IDC_GROUP);
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->GetExStyle() & WS_EX_TRANSPARENT);
    EXPECT_FALSE(dialog.GetDlgItem(IDC_A)->GetExStyle() & WS_EX_TRANSPARENT);
    ASSERT_EQ(dialog.GetItemCount(), 3) << "the grip and the two controls";
    EXPECT_TRUE(dialog.GetItem(1)->m_bIsGroupBox);
    EXPECT_FALSE(dialog.GetItem(2)->m_bIsGroupBox);

    // The old right edge leaves no trail once the box has grown.
    const CRect before = dialog.Item(IDC_GROUP);
    const COLORREF face = tavrin::test::SurfacePixel(dialog.GetSafeHwnd(), before.right + 20, before.top + 20);
    EXPECT_NE(tavrin::test::SurfacePixel(dialog.GetSafeHwnd(), before.right - 1, before.top + 20), face);
    dialog.Grow(60, 0);
    EXPECT_EQ(tavrin::test::SurfacePixel(dialog.GetSafeHwnd(), before.right - 1, before.top + 20), face);
    EXPECT_NE(tavrin::test::SurfacePixel(dialog.GetSafeHwnd(), before.right + 59, before.top + 20), face);

    // Left alone under its flag.
    TestResizeDialog plain(kResizable, {{IDC_GROUP, CXTAnchorRect(0, 0, 1, 1)}}, SZ_NOTRANSPARENTGROUP);
    EXPECT_FALSE(plain.GetDlgItem(IDC_GROUP)->GetExStyle() & WS_EX_TRANSPARENT);
}

TEST_F(ResizeLayoutTest, LateAndMissingControls)
{
    TestResizeDialog dialog(kResizable, {{999, CXTAnchorRect(1, 1, 1, 1)}});
    ASSERT_EQ(dialog.GetItemCount(), 2);
    EXPECT_EQ(dialog.GetItem(1)->m_pWnd, nullptr) << "an id without a window";
    const CRect start = dialog.Item(IDC_LATE);
    dialog.Grow(40, 0);
    // Registered after the owner grew: it catches up in full at the next pass.
    dialog.SetResize(IDC_LATE, nullptr, CXTAnchorRect(1, 0, 1, 0));
    dialog.Grow(10, 0);
    EXPECT_EQ(dialog.Item(IDC_LATE).left, start.left + 50);
    // A plain window without an object of its own gets one, owned by the item.
    EXPECT_EQ(dialog.GetItem(2)->m_bOwnsWnd, CWnd::FromHandlePermanent(dialog.GetDlgItem(IDC_LATE)->GetSafeHwnd()) ==
                                                 dialog.GetItem(2)->m_pWnd);
    dialog.RemoveAllItems();
    EXPECT_EQ(dialog.GetItemCount(), 0);
    dialog.Grow(10, 0);
    EXPECT_EQ(dialog.Item(IDC_LATE).left, start.left + 50) << "nothing moves without items";
}

namespace {

using tavrin::test::TestResizeForm;

class ResizeFormTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_old = AfxGetResourceHandle();
        m_module = tavrin::win::CreateResourceModule(TavrinMfcFixtureResources());
        AfxSetResourceHandle(m_module);
        m_host = std::make_unique<tavrin::test::ControlTestHost>(CRect(50, 50, 850, 650));
    }
    void TearDown() override
    {
        m_host.reset();
        AfxSetResourceHandle(m_old);
        tavrin::win::DestroyResourceModule(m_module);
        ToolkitTest::TearDown();
    }
    HINSTANCE m_old = nullptr;
    HMODULE m_module = nullptr;
    std::unique_ptr<tavrin::test::ControlTestHost> m_host;
};

} // namespace

TEST_F(ResizeFormTest, ControlsFollowWhileTheFormFitsAndScrollWhenItDoesNot)
{
    auto* form = new TestResizeForm; // a view frees itself when destroyed
    ASSERT_TRUE(form->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 120, 60), m_host.get(), 1));
    PumpQueue();
    EXPECT_EQ(form->GetDlgItem(XT_IDC_SIZEGRIP), nullptr) << "a form view has no grip";
    EXPECT_TRUE(form->GetFlags() & SZ_NOSIZEICON);
    const CSize total = form->GetTotalSize();
    ASSERT_GT(total.cx, 120);
    ASSERT_GT(total.cy, 60);
    const CRect name = form->Item(IDC_FORM_NAME), check = form->Item(IDC_FORM_CHECK);

    // Smaller than the form: it scrolls, nothing is squeezed.
    form->MoveWindow(0, 0, total.cx - 30, total.cy + 40);
    EXPECT_EQ(form->Item(IDC_FORM_NAME).Size(), name.Size());
    EXPECT_EQ(form->Item(IDC_FORM_CHECK).TopLeft(), check.TopLeft());
    EXPECT_TRUE(form->GetStyle() & WS_HSCROLL);

    // Larger: the anchors apply from the form's own size.
    form->MoveWindow(0, 0, total.cx + 100, total.cy + 50);
    EXPECT_FALSE(form->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(form->Item(IDC_FORM_NAME), CRect(name.left, name.top, name.right + 100, name.bottom));
    EXPECT_EQ(form->Item(IDC_FORM_CHECK), check + CPoint(0, 50));

    // Smaller again: scrolled, the controls as they were at the last fit.
    form->MoveWindow(0, 0, total.cx - 40, total.cy - 20);
    form->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    form->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
    EXPECT_EQ(form->Item(IDC_FORM_NAME).Width(), name.Width() + 100);
    form->MoveWindow(0, 0, total.cx, total.cy);
    EXPECT_EQ(form->Item(IDC_FORM_NAME), name) << "back at the form's size";
    EXPECT_EQ(form->Item(IDC_FORM_CHECK), check);
    form->DestroyWindow();
}

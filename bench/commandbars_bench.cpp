// Repainting a bar set shaped like the main window's (a 1280-pixel menu row
// of seven titles, a toolbar of eight 24-pixel buttons with captions and two
// split buttons, a row of labels) through WM_PAINT and the buffered DC, the
// layout done once, against windows of the same areas that paint the same
// pixels' worth by hand: FillRect, the captions with DrawText and the icons
// with DrawIconEx. Both sides repaint on the same core in batches that
// alternate, the order reversed every round. A repaint that rebuilt fonts,
// images or layout would miss the goal.
#include "bench/Runner.h"
#include "tests/support/SolidIcon.h"

#include "platform/mfc/Wnd.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsFrame.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPOffice2000Theme.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace tavrin::bench;

constexpr int kFramesPerBatch = 20;
constexpr double kGoal = 2.5;
constexpr double kPopupGoal = 3.0;

const char* const kMenus[] = {"文件(&F)", "编辑(&E)", "查看(&V)", "账户(&A)", "班级(&C)", "工具(&T)", "帮助(&H)"};
const char* const kButtons[] = {"更新", "留言", "相册", "通讯录", "悄悄话", "搜索", "导出", "设置"};
const char* const kSplits[] = {"写留言", "上传"};
const char* const kLabels[] = {"搜索:", " 在结果中搜索 ", "共 120 条留言", "未读 7 条"};

// A docked bar laid out once in one row.
class BenchBar : public CXTPCommandBar {
public:
    BenchBar(int nType, CWnd* pParent, CRect rc)
    {
        m_barType = nType;
        m_barPosition = xtpBarTop;
        CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, rc, pParent, 0);
    }
    void Layout()
    {
        CRect rc;
        GetClientRect(&rc);
        CClientDC dc(this);
        m_pControls->CalcDynamicSize(&dc, rc.Width(), LM_HORZDOCK | LM_COMMIT | LM_HORZ, CRect(2, 2, 2, 2));
    }
};

// What the baseline draws in one bar's area.
struct PlainItem {
    CRect rc;
    CString caption;
    HICON icon = nullptr;
};

// The baseline: the same area, filled and written by hand in WM_PAINT.
class PlainRow : public CWnd {
public:
    // A copy of the font: the theme that lent it is replaced between runs.
    PlainRow(CWnd* pParent, CRect rc, CFont* pFont)
    {
        LOGFONTA lf{};
        pFont->GetLogFont(&lf);
        m_font.CreateFontIndirect(&lf);
        CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, rc, pParent, 0);
        m_brush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    }
    std::vector<PlainItem> m_items;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PAINT)
            return CWnd::WindowProc(message, wParam, lParam);
        PAINTSTRUCT ps;
        CDC* pDC = BeginPaint(&ps);
        CRect rcClient;
        GetClientRect(&rcClient);
        pDC->FillRect(&rcClient, &m_brush);
        CXTFontSelector font(pDC, &m_font);
        pDC->SetBkMode(TRANSPARENT);
        for (PlainItem& item : m_items) {
            int x = item.rc.left + 3;
            if (item.icon) {
                ::DrawIconEx(pDC->m_hDC, x, item.rc.top + 3, item.icon, 24, 24, 0, nullptr, DI_NORMAL);
                x += 27;
            }
            CRect rcText(x, item.rc.top, item.rc.right, item.rc.bottom);
            pDC->DrawText(item.caption, &rcText, DT_SINGLELINE | DT_VCENTER);
        }
        EndPaint(&ps);
        return 0;
    }

private:
    CFont m_font;
    CBrush m_brush;
};

Sample Batch(const std::function<void()>& frame)
{
    Stopwatch w;
    for (int i = 0; i < kFramesPerBatch; ++i)
        frame();
    const Sample s = w.Stop();
    return {s.wall / kFramesPerBatch, s.cpu / kFramesPerBatch};
}

// The baseline of an opening popup: a window of the same size shown, filled
// and written with the captions and shortcuts, then destroyed.
class PlainPopup : public CWnd {
public:
    CFont* m_pFont = nullptr;
    std::vector<std::pair<CRect, CString>> m_captions, m_shortcuts;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PAINT)
            return CWnd::WindowProc(message, wParam, lParam);
        PAINTSTRUCT ps;
        CDC* pDC = BeginPaint(&ps);
        CRect rcClient;
        GetClientRect(&rcClient);
        pDC->FillSolidRect(&rcClient, ::GetSysColor(COLOR_BTNFACE));
        CXTFontSelector font(pDC, m_pFont);
        pDC->SetBkMode(TRANSPARENT);
        for (auto& [rc, text] : m_captions)
            pDC->DrawText(text, &rc, DT_SINGLELINE | DT_VCENTER);
        for (auto& [rc, text] : m_shortcuts)
            pDC->DrawText(text, &rc, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        EndPaint(&ps);
        return 0;
    }
};

void Repaint(const std::vector<CWnd*>& windows)
{
    for (CWnd* pWnd : windows)
        pWnd->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

template <typename F>
void Pair(int rounds, std::vector<Sample>& oursSamples, std::vector<Sample>& peerSamples, F ours, F peer)
{
    for (int r = 0; r < rounds; ++r) {
        if (r % 2 == 0) {
            oursSamples.push_back(Batch(ours));
            peerSamples.push_back(Batch(peer));
        } else {
            peerSamples.push_back(Batch(peer));
            oursSamples.push_back(Batch(ours));
        }
    }
}

// One step of a live resize of a frame whose top dock bar holds a
// menu-like stretched bar and two toolbars, against the repaint alone.
bool BenchResize(int rounds, CXTPImageManager* pImages)
{
    auto* pFrame = new CXTPCommandBarsFrame;
    if (!pFrame->Create(nullptr, "Tavrin", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 300)) ||
        !pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)))
        return false;
    CXTPCommandBars* pBars = pFrame->GetCommandBars();
    pBars->GetOptions()->bShowExpandButtonAlways = FALSE;
    CXTPToolBar* pMenu = pBars->Add("菜单条", xtpBarTop);
    pMenu->EnableDocking(0x5F);
    for (const char* title : kMenus)
        pMenu->GetControls()->Add(xtpControlPopup, 0)->SetCaption(title);
    for (int t = 0; t < 2; ++t) {
        CXTPToolBar* pBar = pBars->Add(t == 0 ? "标准" : "搜索", xtpBarTop);
        pBar->SetImageManager(pImages);
        pImages->InternalAddRef();
        pBar->SetIconSize(CSize(24, 24));
        for (int i = 0; i < 8; ++i) {
            CXTPControl* pButton = pBar->GetControls()->Add(xtpControlButton, 500 + i);
            pButton->SetCaption(kButtons[i]);
            pButton->SetStyle(xtpButtonIconAndCaption);
        }
    }
    // The two toolbars share the second row; narrowing hides buttons of both.
    CXTPDockBar* pTop = pBars->GetDockBar(xtpBarTop);
    pFrame->RecalcLayout();
    CXTPToolBar* pSecond = static_cast<CXTPToolBar*>(pBars->GetAt(2));
    CRect rcFirst;
    pBars->GetAt(1)->GetWindowRect(&rcFirst);
    CRect rcDrop(rcFirst.right, rcFirst.top, rcFirst.right + 100, rcFirst.bottom);
    pBars->DockCommandBar(pSecond, &rcDrop, pTop);
    pFrame->RecalcLayout();

    int nStep = 0;
    auto resizeStep = std::function<void()>([&] {
        const int nWidth = 900 + (nStep++ % 2) * 40;
        pFrame->SetWindowPos(nullptr, 0, 0, nWidth, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        pTop->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
    auto repaintStep = std::function<void()>(
        [&] { pTop->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); });
    Batch(resizeStep);
    Batch(repaintStep);
    std::vector<Sample> oursSamples, peerSamples;
    Pair(rounds, oursSamples, peerSamples, resizeStep, repaintStep);
    const bool met = PrintPair("resize step: frame relayout + repaint of the top dock bar", "repaint alone",
                               oursSamples, peerSamples, 2.0);
    pFrame->DestroyWindow();
    return met;
}

// The option list of a 2,000-button toolbar with a third hidden by the
// user, against duplicating the same controls.
bool BenchOptionList(int rounds)
{
    auto* pBar = new CXTPToolBar;
    for (int i = 0; i < 2000; ++i)
        pBar->GetControls()->Add(xtpControlButton, 1000 + i)->SetCaption("按钮");
    pBar->GetControls()->CreateInitialControls();
    for (int i = 0; i < 2000; i += 3)
        pBar->GetControl(i)->SetHideFlag(xtpHideCustomize, TRUE);
    size_t nLines = 0;
    auto optionList = std::function<void()>([&] {
        CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(nullptr);
        pBar->BuildCustomizePopup(pPopup);
        nLines = static_cast<size_t>(pPopup->GetControlCount());
        pPopup->InternalRelease();
    });
    auto duplicate = std::function<void()>([&] { pBar->GetControls()->Duplicate()->InternalRelease(); });
    Batch(optionList);
    if (nLines != 2001) {
        std::fprintf(stderr, "the option list holds %zu lines\n", nLines);
        pBar->InternalRelease();
        return false;
    }
    Batch(duplicate);
    std::vector<Sample> oursSamples, peerSamples;
    Pair(rounds, oursSamples, peerSamples, optionList, duplicate);
    const bool met = PrintPair("option list of 2,000 buttons, a third hidden", "Duplicate of the controls",
                               oursSamples, peerSamples, 3.0);
    pBar->InternalRelease();
    return met;
}

} // namespace

int main(int argc, char** argv)
{
    const int cpu = PinBench(argc, argv);
    int rounds = argc > 1 ? std::atoi(argv[1]) : 31;
    if (rounds < 1)
        rounds = 1;

    CXTPOffice2000Theme* pTheme = static_cast<CXTPOffice2000Theme*>(CXTPPaintManager::SetTheme(xtpThemeOffice2000));
    if (!pTheme)
        return 1;
    CWnd frame, plainFrame;
    frame.CreateEx(0, AfxRegisterWndClass(0), "Tavrin", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 120, nullptr, nullptr);
    plainFrame.CreateEx(0, AfxRegisterWndClass(0), "Tavrin", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 120, nullptr,
                        nullptr);

    std::vector<HICON> icons;
    auto* pImages = new CXTPImageManager;
    for (int i = 0; i < 10; ++i) {
        icons.push_back(tavrin::test::MakeSolidIcon(24, RGB(20 * i, 200 - 15 * i, 90)));
        pImages->SetIcon(CXTPImageManagerIconHandle(icons.back()), 500 + i);
    }

    auto* pMenu = new BenchBar(xtpBarTypeMenuBar, &frame, CRect(0, 0, 1280, 24));
    for (const char* title : kMenus)
        pMenu->GetControls()->Add(xtpControlPopup, 0)->SetCaption(title);
    auto* pToolBar = new BenchBar(xtpBarTypeNormal, &frame, CRect(0, 24, 1280, 62));
    pToolBar->SetImageManager(pImages);
    pToolBar->SetIconSize(CSize(24, 24));
    for (int i = 0; i < 8; ++i) {
        CXTPControl* pButton = pToolBar->GetControls()->Add(xtpControlButton, 500 + i);
        pButton->SetCaption(kButtons[i]);
        pButton->SetStyle(xtpButtonIconAndCaption);
    }
    for (int i = 0; i < 2; ++i) {
        CXTPControl* pSplit = pToolBar->GetControls()->Add(xtpControlSplitButtonPopup, 508 + i);
        pSplit->SetCaption(kSplits[i]);
        pSplit->SetStyle(xtpButtonIconAndCaption);
    }
    auto* pLabels = new BenchBar(xtpBarTypeNormal, &frame, CRect(0, 62, 1280, 90));
    for (const char* text : kLabels)
        pLabels->GetControls()->Add(xtpControlLabel, 0)->SetCaption(text);
    std::vector<BenchBar*> bars = {pMenu, pToolBar, pLabels};
    for (BenchBar* pBar : bars)
        pBar->Layout();

    // The baseline draws the same captions and icons at the same places.
    std::vector<CWnd*> ours, plain;
    std::vector<PlainRow*> rows;
    for (BenchBar* pBar : bars) {
        CRect rc;
        pBar->GetWindowRect(&rc);
        frame.ScreenToClient(&rc);
        auto* pRow = new PlainRow(&plainFrame, rc, pTheme->GetRegularFont());
        for (int i = 0; i < pBar->GetControlCount(); ++i) {
            CXTPControl* pControl = pBar->GetControl(i);
            PlainItem item{pControl->GetRect(), pControl->GetCaption(), nullptr};
            if (pBar == pToolBar)
                item.icon = icons[static_cast<size_t>(i)];
            pRow->m_items.push_back(item);
        }
        rows.push_back(pRow);
        ours.push_back(pBar);
        plain.push_back(pRow);
    }

    auto oursFrame = [&] { Repaint(ours); };
    auto plainRepaint = [&] { Repaint(plain); };
    Batch(oursFrame); // warm both: images made, glyphs cached, code loaded
    Batch(plainRepaint);
    // Both sides must have drawn: the first icon shows in both toolbars.
    const CPoint ptIcon = pToolBar->GetControl(0)->GetRect().TopLeft() + CPoint(8, 8);
    auto pixelAt = [](CWnd* pWnd, CPoint pt) {
        CClientDC dc(pWnd);
        return dc.GetPixel(pt) & 0xFFFFFF;
    };
    const COLORREF clrIcon = RGB(0, 200, 90);
    if (pixelAt(pToolBar, ptIcon) != clrIcon || pixelAt(rows[1], ptIcon) != clrIcon) {
        std::fprintf(stderr, "a side did not paint its toolbar\n");
        return 1;
    }
    std::printf("three bars of 1280 pixels (7 menu titles; 8 buttons and 2 split buttons with 24-pixel icons and "
                "captions; 4 labels), core %d, %d rounds of %d repaints per side, alternating; medians per repaint\n",
                cpu, rounds, kFramesPerBatch);
    // Every theme against the same baseline; gradients and faded icons included.
    const struct {
        int id;
        const char* name;
    } themes[] = {{xtpThemeOffice2000, "Office 2000"},
                  {xtpThemeOfficeXP, "Office XP"},
                  {xtpThemeOffice2003, "Office 2003"},
                  {xtpThemeNativeWinXP, "native XP"},
                  {xtpThemeDefault, "default"}};
    bool met = true;
    for (const auto& theme : themes) {
        if (!CXTPPaintManager::SetTheme(theme.id))
            return 1;
        for (BenchBar* pBar : bars)
            pBar->Layout();
        Batch(oursFrame);
        const CPoint ptFirst = pToolBar->GetControl(0)->GetRect().TopLeft() + CPoint(8, 8);
        if (theme.id != xtpThemeOffice2000 && pixelAt(pToolBar, ptFirst) == pixelAt(pToolBar, CPoint(1270, 20))) {
            std::fprintf(stderr, "%s: the toolbar shows no icon\n", theme.name);
            return 1;
        }
        std::vector<Sample> oursSamples, plainSamples;
        Pair(rounds, oursSamples, plainSamples, std::function<void()>(oursFrame), std::function<void()>(plainRepaint));
        const std::string label = std::string("bars via WM_PAINT, ") + theme.name;
        met = PrintPair(label.c_str(), "FillRect+DrawText+DrawIconEx", oursSamples, plainSamples, kGoal) && met;
    }

    // Opening a 30-item popup with icons and shortcuts: layout, placement and
    // first paint, no animation and no shadow, closed again.
    if (!CXTPPaintManager::SetTheme(xtpThemeOffice2000))
        return 1;
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(nullptr);
    pPopup->SetOwner(&frame);
    pPopup->SetShowShadow(FALSE);
    pPopup->SetImageManager(pImages);
    pImages->InternalAddRef(); // the toolbar holds it too
    pPopup->SetNoNotify(TRUE);
    for (int i = 0; i < 30; ++i) {
        CXTPControl* pItem = pPopup->GetControls()->Add(xtpControlButton, 500 + i % 10);
        pItem->SetCaption(kButtons[i % 8]);
        pItem->SetShortcutText("Ctrl+Shift+F10");
    }
    PlainPopup plainPopup;
    plainPopup.m_pFont = pTheme->GetRegularFont();
    auto openOurs = [&] {
        pPopup->Popup(100, 100, nullptr);
        pPopup->UpdateWindow();
        pPopup->SetTrackingMode(FALSE);
    };
    openOurs();
    CRect rcPopup(0, 0, 0, 0);
    {
        pPopup->Popup(100, 100, nullptr);
        pPopup->GetWindowRect(&rcPopup);
        for (int i = 0; i < pPopup->GetControlCount(); ++i) {
            CRect rc = pPopup->GetControl(i)->GetRect();
            plainPopup.m_captions.emplace_back(CRect(rc.left + 24, rc.top, rc.right, rc.bottom),
                                               pPopup->GetControl(i)->GetCaption());
            plainPopup.m_shortcuts.emplace_back(CRect(rc.left + 24, rc.top, rc.right - 19, rc.bottom),
                                                CString("Ctrl+Shift+F10"));
        }
        pPopup->SetTrackingMode(FALSE);
    }
    auto openPlain = [&] {
        plainPopup.CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE,
                            rcPopup, &frame, 0);
        plainPopup.UpdateWindow();
        plainPopup.DestroyWindow();
    };
    openPlain();
    {
        std::vector<Sample> oursSamples, plainSamples;
        for (int r = 0; r < rounds; ++r) {
            if (r % 2 == 0) {
                oursSamples.push_back(Batch(openOurs));
                plainSamples.push_back(Batch(openPlain));
            } else {
                plainSamples.push_back(Batch(openPlain));
                oursSamples.push_back(Batch(openOurs));
            }
        }
        std::printf("a popup of 30 items with icons and shortcuts, %d x %d\n", rcPopup.Width(), rcPopup.Height());
        met = PrintPair("popup opened, laid out, placed and painted", "window+FillSolidRect+DrawText", oursSamples,
                        plainSamples, kPopupGoal) &&
              met;
    }
    pPopup->InternalRelease();

    CXTPPaintManager::SetTheme(xtpThemeOffice2000);
    met = BenchResize(rounds, pImages) && met;
    met = BenchOptionList(rounds) && met;

    for (PlainRow* pRow : rows) {
        pRow->DestroyWindow();
        delete pRow;
    }
    for (BenchBar* pBar : bars) {
        pBar->DestroyWindow();
        pBar->InternalRelease();
    }
    frame.DestroyWindow();
    plainFrame.DestroyWindow();
    for (HICON hIcon : icons)
        DestroyIcon(hIcon);
    CXTPPaintManager::SetCustomTheme(nullptr);
    return met ? 0 : 2;
}

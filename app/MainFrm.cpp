#include "app/MainFrm.h"

#include "app/ComposeView.h"
#include "app/MiscView.h"
#include "app/MsgDispView.h"
#include "app/MsgListView.h"
#include "app/PaneViews.h"
#include "app/SplashWnd.h"
#include "core/model/ModelEvents.h"
#include "core/services/Config.h"
#include "platform/base/FileApi.h"
#include "platform/base/Path.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/ResourceImage.h"
#include "platform/win/Shell.h"
#include "platform/win/ShellTray.h"
#include "platform/win/UserFolder.h"
#include "res/resource.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTGlobalData.h"

#include <cstdlib>

IMPLEMENT_DYNCREATE(CMainFrame, CXTPCommandBarsFrame)

BEGIN_MESSAGE_MAP(CMainFrame, CXTPCommandBarsFrame)
    ON_WM_CREATE()
    ON_MESSAGE(WM_CREATE_BAR_CONTROL, OnCreateControl)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_CLASS_EVENT, OnClassEvent)
    ON_COMMAND(ID_REFRESH_BUTTON, OnRefreshButton)
    ON_COMMAND(ID_STOP_BUTTON, OnStopButton)
    ON_UPDATE_COMMAND_UI(ID_REFRESH_BUTTON, OnUpdateNeedsClass)
    ON_UPDATE_COMMAND_UI(ID_STOP_BUTTON, OnUpdateNeedsClass)
    ON_COMMAND(ID_VIEW_COMPOSE, OnViewCompose)
    ON_UPDATE_COMMAND_UI(ID_VIEW_COMPOSE, OnUpdateViewCompose)
    ON_COMMAND(ID_VIEW_OTHER_INFO, OnViewOtherInfo)
    ON_UPDATE_COMMAND_UI(ID_VIEW_OTHER_INFO, OnUpdateViewOtherInfo)
    ON_COMMAND(ID_SHOW_MAIN_WINDOW, OnShowMainWindow)
    ON_COMMAND(ID_STYLE_DEFAULT, OnStyleDefault)
    ON_COMMAND(ID_STYLE_OFFICE_XP, OnStyleOfficeXP)
    ON_COMMAND(ID_STYLE_OFFICE_2003, OnStyleOffice2003)
    ON_COMMAND(ID_STYLE_OFFICE_2000, OnStyleOffice2000)
    ON_COMMAND(ID_STYLE_GNOME, OnStyleGnome)
    ON_UPDATE_COMMAND_UI(ID_STYLE_DEFAULT, OnUpdateStyleDefault)
    ON_UPDATE_COMMAND_UI(ID_STYLE_OFFICE_XP, OnUpdateStyleOfficeXP)
    ON_UPDATE_COMMAND_UI(ID_STYLE_OFFICE_2003, OnUpdateStyleOffice2003)
    ON_UPDATE_COMMAND_UI(ID_STYLE_OFFICE_2000, OnUpdateStyleOffice2000)
    ON_UPDATE_COMMAND_UI(ID_STYLE_GNOME, OnUpdateStyleGnome)
    ON_COMMAND(ID_EXPORT_DATA, OnExportData)
    ON_UPDATE_COMMAND_UI(ID_EXPORT_DATA, OnUpdateNeedsClass)
    ON_COMMAND(ID_MESSAGE_STATISTICS, OnMessageStatistics)
    ON_UPDATE_COMMAND_UI(ID_MESSAGE_STATISTICS, OnUpdateNeedsClass)
    ON_COMMAND(ID_ADD_ACCOUNT, OnAddAccount)
END_MESSAGE_MAP()

namespace {

constexpr const char* kCommandBarsProfile = "TavrinCommandBars";

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

// A configuration number: decimal digits up to the first other character.
int ConfigNumber(int id)
{
    CString text = GetConfig(id);
    return std::atoi(static_cast<LPCTSTR>(text));
}

} // namespace

CMainFrame* GetMainFrame() { return dynamic_cast<CMainFrame*>(AfxGetMainWnd()); }

CMainFrame::~CMainFrame()
{
    for (CTaskbarNotifier* notifier : m_arrNotifiers)
        (void)notifier; // notifiers come with the popups; none is made yet
    m_arrNotifiers.clear();
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CXTPCommandBarsFrame::PreCreateWindow(cs))
        return FALSE;
    // The desktop's panel: its height is kept free when it lies along the
    // top or bottom edge (one along a side edge takes no height).
    APPBARDATA abd{};
    abd.cbSize = sizeof(abd);
    int panel = 0;
    if (::SHAppBarMessage(ABM_GETTASKBARPOS, &abd) && (abd.uEdge == ABE_TOP || abd.uEdge == ABE_BOTTOM))
        panel = abd.rc.bottom - abd.rc.top;
    cs.style &= ~FWS_ADDTOTITLE;
    cs.cx = ConfigNumber(CFG_PLACEMENT_CX);
    cs.cy = ConfigNumber(CFG_PLACEMENT_CY) - panel;
    cs.x = ConfigNumber(CFG_PLACEMENT_X);
    cs.y = ConfigNumber(CFG_PLACEMENT_Y);
    cs.lpszClass = AfxRegisterWndClass(0, nullptr, nullptr, ::LoadIcon(AfxFindResourceHandle(MAKEINTRESOURCE(IDR_MAINFRAME), RT_GROUP_ICON),
                                                                        MAKEINTRESOURCE(IDR_MAINFRAME)));
    return TRUE;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    const DWORD nested = WS_CHILD | WS_VISIBLE | WS_BORDER;
    if (!m_wndSplitterMain.CreateStatic(this, 1, 2))
        return FALSE;
    if (!m_wndSplitterLeft.CreateStatic(&m_wndSplitterMain, 2, 1, nested, m_wndSplitterMain.IdFromRowCol(0, 0)))
        return FALSE;
    if (!m_wndSplitterLeft.CreateView(0, 0, RUNTIME_CLASS(CTavrinView), CSize(0, 0), pContext))
        return FALSE;
    m_pTreeView = static_cast<CTavrinView*>(m_wndSplitterLeft.GetPane(0, 0));
    if (!m_wndSplitterLeft.CreateView(1, 0, RUNTIME_CLASS(CMiscView), CSize(0, 0), pContext))
        return FALSE;
    m_pMiscView = static_cast<CMiscView*>(m_wndSplitterLeft.GetPane(1, 0));
    if (!m_wndSplitterRight.CreateStatic(&m_wndSplitterMain, 2, 1, nested, m_wndSplitterMain.IdFromRowCol(0, 1)))
        return FALSE;
    if (!CreateCaptionBar())
        return FALSE;
    if (!m_wndSplitterItems.CreateStatic(&m_wndSplitterRight, 2, 1, nested, m_wndSplitterRight.IdFromRowCol(1, 0)))
        return FALSE;
    if (!m_wndSplitterItems.CreateView(1, 0, RUNTIME_CLASS(CComposeView), CSize(0, 0), pContext))
        return FALSE;
    m_pComposeView = static_cast<CComposeView*>(m_wndSplitterItems.GetPane(1, 0));
    if (!m_wndSplitterListDisp.CreateStatic(&m_wndSplitterItems, 2, 1, nested,
                                            m_wndSplitterItems.IdFromRowCol(0, 0)))
        return FALSE;
    if (!m_wndSplitterListDisp.CreateView(0, 0, RUNTIME_CLASS(CMsgListView), CSize(0, 0), pContext))
        return FALSE;
    m_pListView = static_cast<CMsgListView*>(m_wndSplitterListDisp.GetPane(0, 0));
    if (!m_wndSplitterListDisp.CreateView(1, 0, RUNTIME_CLASS(CMsgDispView), CSize(0, 0), pContext))
        return FALSE;
    m_pDispView = static_cast<CMsgDispView*>(m_wndSplitterListDisp.GetPane(1, 0));

    CRect client;
    GetClientRect(&client);
    const int w = client.Width();
    const int h = client.Height();
    auto orDefault = [](int stored, int fallback) { return stored ? stored : fallback; };
    m_wndSplitterMain.SetColumnInfo(0, orDefault(ConfigNumber(CFG_PLACEMENT_PANE_1_W), w / 4), 18);
    m_wndSplitterLeft.SetRowInfo(0, orDefault(ConfigNumber(CFG_PLACEMENT_PANE_1_1_H), h / 2), 18);
    m_wndSplitterLeft.SetRowInfo(1, 0, 18);
    m_wndSplitterItems.SetRowInfo(0, orDefault(ConfigNumber(CFG_PLACEMENT_PANE_2_2_H), 2 * h / 3), 18);
    m_wndSplitterItems.SetRowInfo(1, 0, 19);
    m_wndSplitterListDisp.SetRowInfo(0, orDefault(ConfigNumber(CFG_PLACEMENT_PANE_2_1_1_H), h / 3), 18);
    m_wndSplitterListDisp.SetRowInfo(1, 0, 18);
    // Bars are dragged as a tracker; the caption's bar is flat and fixed.
    for (CXTSplitterWnd* splitter : {static_cast<CXTSplitterWnd*>(&m_wndSplitterMain),
                                     static_cast<CXTSplitterWnd*>(&m_wndSplitterLeft),
                                     static_cast<CXTSplitterWnd*>(&m_wndSplitterItems),
                                     static_cast<CXTSplitterWnd*>(&m_wndSplitterListDisp)})
        splitter->SetSplitterStyle(XT_SPLIT_NOFULLDRAG);
    m_wndSplitterRight.SetSplitterStyle(XT_SPLIT_NOFULLDRAG | XT_SPLIT_NOBORDER | XT_SPLIT_NOSIZE);
    return TRUE;
}

BOOL CMainFrame::CreateCaptionBar()
{
    if (!m_wndCaption.Create(&m_wndSplitterRight, "Caption Text", 0, WS_VISIBLE | SS_CENTERIMAGE | SS_CENTER,
                             CRect(0, 0, 0, 0), m_wndSplitterRight.IdFromRowCol(0, 0)))
        return FALSE;
    CXTColorManager* colours = XTGetColorManager();
    m_wndCaption.SetCaptionColors(colours->GetColor(15), colours->GetColor(16), colours->GetColor(5));
    LOGFONT lf{};
    XTGetGlobalData()->fontBold.GetLogFont(&lf);
    lf.lfHeight = 18;
    m_fontCaption.CreateFontIndirect(&lf);
    m_wndCaption.ModifyCaptionStyle(0, &m_fontCaption, nullptr,
                                    ::LoadIcon(AfxFindResourceHandle(MAKEINTRESOURCE(IDR_MAINFRAME), RT_GROUP_ICON),
                                               MAKEINTRESOURCE(IDR_MAINFRAME)));
    m_wndSplitterRight.SetRowInfo(0, 22, 0);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CXTPCommandBarsFrame::OnCreate(lpcs) == -1)
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP,
                               AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, 4))
        return -1;
    if (!InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)))
        return -1;
    ApplyStoredStyle();
    if (!CreateCommandBars())
        return -1;
    CSplashWnd::ShowSplashScreen(3000, IDB_SPLASH, this);
    if (!m_wndTrayIcon.Create("Tavrin", this, IDR_MAINFRAME, IDR_TRAY_MENU, ID_SHOW_MAIN_WINDOW, FALSE))
        return -1;
    const UINT animation[] = {IDR_MAINFRAME, IDI_TRAY_ANIMATION};
    m_wndTrayIcon.SetAnimationIcons(animation, 2, nullptr);
    if (ConfigNumber(CFG_APP_UPDATE_STARTUP) != 0)
        StartUpdaterSilently();
    return 0;
}

BOOL CMainFrame::CreateCommandBars()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    pCommandBars->GetOptions()->bShowExpandButtonAlways = FALSE;

    // The menu bar takes the frame's own menu and docks first, on its own row.
    if (!pCommandBars->SetMenu("菜单条", IDR_MAINFRAME))
        return FALSE;
    CXTPToolBar* pStandard = pCommandBars->Add("标准", xtpBarTop);
    if (!pStandard || !pStandard->LoadToolBar(IDR_MAINFRAME))
        return FALSE;
    CXTPToolBar* pSearch = pCommandBars->Add("搜索", xtpBarTop);
    if (!pSearch || !pSearch->LoadToolBar(IDR_SEARCH_TOOLBAR))
        return FALSE;

    LoadCommandBars(kCommandBarsProfile);

    SetIconOptions(pCommandBars->GetPaintManager());
    static const UINT kIconCommands[] = {ID_ADD_ACCOUNT, ID_REFRESH_CLASS_INFO, ID_REFRESH_BUTTON, ID_STOP_BUTTON,
                                         ID_VIEW_OTHER_INFO, ID_VIEW_COMPOSE, ID_OPTIONS, ID_APP_ABOUT};
    CXTPImageManager* pImages = pCommandBars->GetImageManager();
    pImages->SetIcons(IDB_COMMAND_ICONS_24, kIconCommands, 8, CSize(24, 24));
    pImages->SetIcons(IDB_COMMAND_ICONS_16, kIconCommands, 8, CSize(16, 16));
    pStandard->SetIconSize(CSize(24, 24));
    return TRUE;
}

LRESULT CMainFrame::OnCreateControl(WPARAM, LPARAM lParam)
{
    auto* pInfo = reinterpret_cast<CreateBarControlInfo*>(lParam);
    if (!pInfo || !pInfo->bToolBar)
        return FALSE;
    if (pInfo->nID == ID_REFRESH_BUTTON || pInfo->nID == ID_STOP_BUTTON) {
        pInfo->controlType = xtpControlSplitButtonPopup;
        return TRUE;
    }
    return FALSE;
}

void CMainFrame::StartUpdaterSilently()
{
    // Only when the updater is beside the program; its copy goes to a folder
    // only this user can write, so no one else can swap what is started.
    const CString folder = tavrin::GetProgramFolder();
    const CString source = folder + "\\Updater.exe";
    if (::GetFileAttributes(source) == INVALID_FILE_ATTRIBUTES)
        return;
    if (!tavrin::win::EnsureUserConfigFolder("updater"))
        return;
    const CString target = tavrin::ProgramPath(tavrin::win::GetUserConfigFolder() + "/updater") + "\\Updater.exe";
    if (!::CopyFile(source, target, FALSE))
        return;
    ::ShellExecute(nullptr, "open", target, "silience-" + folder, nullptr, SW_SHOWNORMAL);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    CXTPCommandBarsFrame::OnSize(nType, cx, cy);
    // Into the tray only when the icon could be placed: without a
    // notification area the window stays a normal minimised one.
    if (nType == SIZE_MINIMIZED && GetConfig(CFG_OTHER_MINIMIZE_HIDDEN) == "1" && m_wndTrayIcon.ShowIcon())
        m_wndTrayIcon.MinimizeToTray(m_hWnd);
}

void CMainFrame::OnClose()
{
    // The layout is kept even when the close is then refused.
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->SaveOptions(kCommandBarsProfile);
    CAccountList* accounts = m_pTreeView ? &m_pTreeView->GetAccountList() : nullptr;
    if (accounts && accounts->IsAnyBusy() &&
        ::MessageBox(m_hWnd, "正在更新数据，确定要退出吗？", "警告", MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    if (IsWindowVisible()) {
        int cur = 0, min = 0;
        m_wndSplitterMain.GetColumnInfo(0, cur, min);
        SetConfigInt(CFG_PLACEMENT_PANE_1_W, cur);
        if (m_wndSplitterLeft.GetHiddenRowIndex() < 0) {
            m_wndSplitterLeft.GetRowInfo(0, cur, min);
            SetConfigInt(CFG_PLACEMENT_PANE_1_1_H, cur);
            SetConfigInt(CFG_PLACEMENT_PANE_1_2_VISIBLE, 1);
        } else {
            SetConfigInt(CFG_PLACEMENT_PANE_1_2_VISIBLE, 0);
        }
        if (m_wndSplitterItems.GetHiddenRowIndex() < 0) {
            m_wndSplitterItems.GetRowInfo(0, cur, min);
            SetConfigInt(CFG_PLACEMENT_PANE_2_2_H, cur);
            SetConfigInt(CFG_PLACEMENT_PANE_2_2_VISIBLE, 1);
        } else {
            SetConfigInt(CFG_PLACEMENT_PANE_2_2_VISIBLE, 0);
        }
        m_wndSplitterListDisp.GetRowInfo(0, cur, min);
        SetConfigInt(CFG_PLACEMENT_PANE_2_1_1_H, cur);
    }
    m_arrNotifiers.clear();
    m_wndTrayIcon.HideIcon();
    CXTPCommandBarsFrame::OnClose();
}

void CMainFrame::ShowOtherInfoPane(BOOL bShow)
{
    if (bShow)
        m_wndSplitterLeft.ShowRow();
    else if (m_wndSplitterLeft.GetHiddenRowIndex() < 0)
        m_wndSplitterLeft.HideRow(1);
}

void CMainFrame::ShowComposePane(BOOL bShow)
{
    if (bShow)
        m_wndSplitterItems.ShowRow();
    else if (m_wndSplitterItems.GetHiddenRowIndex() < 0)
        m_wndSplitterItems.HideRow(1);
}

void CMainFrame::SetListRowMinHeight(const CRect& rect)
{
    if (m_wndSplitterItems.GetHiddenRowIndex() >= 0)
        return;
    int cur = 0, min = 0;
    m_wndSplitterItems.GetRowInfo(0, cur, min);
    m_wndSplitterItems.SetRowInfo(0, cur, rect.Height() + 23);
}

void CMainFrame::SetCaption(LPCTSTR lpszText, HICON hIcon)
{
    m_wndCaption.SetWindowText(lpszText);
    m_wndCaption.ModifyCaptionStyle(0, nullptr, lpszText, hIcon);
    m_hCaptionIcon = hIcon;
}

// Commands

void CMainFrame::OnAddAccount()
{
    if (m_pTreeView)
        m_pTreeView->AddAccount();
}

void CMainFrame::OnRefreshButton() { PostMessage(WM_COMMAND, ID_REFRESH_CLASS_ALL, 0); }

void CMainFrame::OnStopButton() { PostMessage(WM_COMMAND, ID_STOP_ALL, 0); }

void CMainFrame::OnViewCompose()
{
    ShowComposePane(m_wndSplitterItems.GetHiddenRowIndex() >= 0);
}

void CMainFrame::OnViewOtherInfo()
{
    ShowOtherInfoPane(m_wndSplitterLeft.GetHiddenRowIndex() >= 0);
}

void CMainFrame::OnUpdateViewCompose(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_wndSplitterItems.GetHiddenRowIndex() < 0); }

void CMainFrame::OnUpdateViewOtherInfo(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_wndSplitterLeft.GetHiddenRowIndex() < 0);
}

void CMainFrame::OnShowMainWindow()
{
    m_wndTrayIcon.HideIcon();
    m_wndTrayIcon.RestoreFromTray(m_hWnd);
    if (m_pComposeView)
        m_pComposeView->SetMode();
}

LRESULT CMainFrame::OnClassEvent(WPARAM wParam, LPARAM lParam)
{
    auto* schoolClass = reinterpret_cast<CSchoolClass*>(lParam);
    const int code = static_cast<int>(wParam);
    if (!IsListedClass(schoolClass))
        return 1;
    if ((code >= 9 && code <= 12) || (code >= 14 && code <= 16))
        OnComposeEvent(code, schoolClass);
    return 1;
}

void CMainFrame::OnUpdateNeedsClass(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pTreeView && m_pTreeView->GetCurrentClass());
}

void CMainFrame::OnUpdateNeedsAccount(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

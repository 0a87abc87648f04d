#include "app/MiscView.h"

#include "app/CurrentSelection.h"
#include "app/ItemImages.h"
#include "app/PageFiles.h"
#include "app/MainFrm.h"
#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/FileApi.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/WndMessages.h"
#include "res/resource.h"
#include "toolkit/commandbars/XTPTrackContextMenu.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

IMPLEMENT_DYNCREATE(CMiscView, CFormView)

BEGIN_MESSAGE_MAP(CMiscView, CFormView)
    ON_WM_CREATE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SYSCOLORCHANGE()
    ON_COMMAND(ID_MISC_SHOW_LOG, OnShowLog)
    ON_UPDATE_COMMAND_UI(ID_MISC_SHOW_LOG, OnUpdateShowLog)
    ON_COMMAND(ID_MISC_SHOW_CLASS_INFO, OnShowClassInfo)
    ON_UPDATE_COMMAND_UI(ID_MISC_SHOW_CLASS_INFO, OnUpdateShowClassInfo)
    ON_COMMAND(ID_MISC_HIDE, OnHide)
    ON_UPDATE_COMMAND_UI(ID_MISC_HIDE, OnUpdateHide)
    ON_COMMAND(IDC_MISC_CAPTION, OnHide)
    ON_COMMAND(ID_COPY, OnCopy)
    ON_COMMAND(ID_SELECT_ALL, OnSelectAll)
END_MESSAGE_MAP()

namespace {

const int kCaptionHeight = 19;

bool LogShown() { return GetConfig(CFG_MISC_CUR_VISIBLE) != "0"; }

// Case-insensitive search for an ASCII needle.
size_t FindNoCase(const std::string& text, const std::string& needle, size_t from)
{
    auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(std::min(from, text.size())), text.end(),
                          needle.begin(), needle.end(), [](char a, char b) {
                              return std::tolower(static_cast<unsigned char>(a)) ==
                                     std::tolower(static_cast<unsigned char>(b));
                          });
    return it == text.end() ? std::string::npos : static_cast<size_t>(it - text.begin());
}

} // namespace

CMiscView::CMiscView() : CFormView(IDD_MISC_VIEW) {}

CMiscView::~CMiscView() = default;

void CMiscView::DoDataExchange(CDataExchange* pDX)
{
    CFormView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MISC_LOG, m_wndLog);
    DDX_Control(pDX, IDC_MISC_BROWSER, m_wndBrowser);
}

int CMiscView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CFormView::OnCreate(lpcs) == -1)
        return -1;
    if (!m_wndCaption.Create(this, "其他信息", CPWS_EX_RAISED_EDGE | CPWS_EX_CLOSEBUTTON,
                             WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, CRect(0, 0, 0, 0), IDC_MISC_CAPTION))
        return -1;
    m_wndCaption.UpdateCaption(GetConfig(CFG_MISC_CUR_VISIBLE) == "1" ? "状态记录" : "班级信息",
                               nullptr);
    return 0;
}

void CMiscView::Layout()
{
    CRect client;
    GetClientRect(&client);
    if (m_wndCaption.m_hWnd)
        m_wndCaption.SetWindowPos(nullptr, 0, 0, client.Width(), kCaptionHeight,
                                  SWP_NOZORDER | SWP_NOACTIVATE);
    const CRect rest(0, kCaptionHeight, client.Width(), std::max<int>(client.bottom, kCaptionHeight));
    if (m_wndBrowser.m_hWnd)
        m_wndBrowser.MoveWindow(&rest);
    if (m_wndLog.m_hWnd) {
        m_wndLog.MoveWindow(&rest);
        CRect list;
        m_wndLog.GetWindowRect(&list);
        m_wndLog.SetColumnWidth(1, list.Width() - ::GetSystemMetrics(SM_CXVSCROLL));
    }
}

void CMiscView::OnInitialUpdate()
{
    SetScrollSizes(MM_TEXT, CSize(0, 0));
    CFormView::OnInitialUpdate();
    if (m_wndBrowser.m_hWnd) {
        Layout();
        m_wndBrowser.Navigate(tavrin::app::EmptyPagePath());
    }
    tavrin::app::MakeItemImageList(m_imageList);
    if (m_wndLog.m_hWnd) {
        m_wndLog.AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        if (m_imageList.GetSafeHandle())
            m_wndLog.SetImageList(&m_imageList, LVSIL_SMALL);
        m_wndLog.InsertColumn(0, "", LVCFMT_LEFT, 0);
        m_wndLog.InsertColumn(1, "", LVCFMT_LEFT, 0);
        Layout();
    }
    if (m_wndBrowser.m_hWnd && m_wndLog.m_hWnd) {
        ::SetWindowPos(m_wndLog.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowChosenView();
    }
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (frame && std::atoi(static_cast<LPCTSTR>(GetConfig(CFG_PLACEMENT_PANE_1_2_VISIBLE))) == 0)
        frame->ShowOtherInfoPane(FALSE);
}

void CMiscView::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CFormView::OnWindowPosChanged(lpwndpos);
    Layout();
}

void CMiscView::OnSysColorChange()
{
    CFormView::OnSysColorChange();
    m_wndCaption.SetCaptionColors(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE),
                                  ::GetSysColor(COLOR_BTNTEXT));
}

BOOL CMiscView::PreTranslateMessage(MSG* pMsg)
{
    const bool ours = pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd);
    if (ours && pMsg->message == WM_RBUTTONDOWN) {
        // The chosen command goes to the main window, which routes it to
        // its active view: this pane, as the click makes it.
        if (CFrameWnd* frame = GetParentFrame())
            frame->SetActiveView(this, FALSE);
        CMenu menu;
        if (menu.LoadMenu(IDR_MISC_MENU)) {
            if (CMenu* popup = menu.GetSubMenu(0)) {
                POINT pt;
                ::GetCursorPos(&pt);
                XTPTrackContextMenu(popup, 0, pt.x, pt.y, AfxGetMainWnd());
            }
        }
        return TRUE;
    }
    if (ours && pMsg->message == WM_LBUTTONDBLCLK) {
        ShowLog(!LogShown());
        return TRUE;
    }
    return CFormView::PreTranslateMessage(pMsg);
}

void CMiscView::ShowLog(BOOL bLog)
{
    SetConfigInt(CFG_MISC_CUR_VISIBLE, bLog ? 1 : 0);
    ShowChosenView();
    m_wndCaption.UpdateCaption(bLog ? "状态记录" : "班级信息", nullptr);
}

void CMiscView::ShowChosenView()
{
    if (!m_wndLog.m_hWnd)
        return;
    m_wndLog.ShowWindow(LogShown() ? SW_SHOW : SW_HIDE);
    // The page's engine draws above our windows: it goes while the log lies over it.
    if (m_wndBrowser.m_hWnd)
        m_wndBrowser.ShowWindow(LogShown() ? SW_HIDE : SW_SHOW);
}

void CMiscView::OnShowLog() { ShowLog(TRUE); }

void CMiscView::OnShowClassInfo() { ShowLog(FALSE); }

void CMiscView::OnHide()
{
    if (CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        frame->ShowOtherInfoPane(FALSE);
}

void CMiscView::OnUpdateShowLog(CCmdUI* pCmdUI) { pCmdUI->SetCheck(GetConfig(CFG_MISC_CUR_VISIBLE) == "1"); }

void CMiscView::OnUpdateShowClassInfo(CCmdUI* pCmdUI) { pCmdUI->SetCheck(!LogShown()); }

void CMiscView::OnUpdateHide(CCmdUI*) {}

void CMiscView::OnCopy()
{
    if (!LogShown() && m_wndBrowser.m_hWnd)
        m_wndBrowser.ExecWB(OLECMDID_COPY, OLECMDEXECOPT_DONTPROMPTUSER);
}

void CMiscView::OnSelectAll()
{
    if (!LogShown() && m_wndBrowser.m_hWnd)
        m_wndBrowser.ExecWB(OLECMDID_SELECTALL, OLECMDEXECOPT_DONTPROMPTUSER);
}

void CMiscView::RefreshLog()
{
    if (!m_wndLog.m_hWnd)
        return;
    m_wndLog.SetRedraw(FALSE);
    m_wndLog.DeleteAllItems();
    // Each line goes on top: the newest ends first.
    if (CAccount* account = tavrin::app::GetCurrentAccount()) {
        for (int i = 0; i < account->GetLogCount(); ++i) {
            m_wndLog.InsertItem(0, "");
            m_wndLog.SetItemText(0, 1, account->GetLogLine(i));
        }
    }
    if (CSchoolClass* schoolClass = tavrin::app::GetCurrentClass()) {
        for (int i = 0; i < schoolClass->GetLogCount(); ++i) {
            m_wndLog.InsertItem(0, "");
            m_wndLog.SetItemText(0, 1, schoolClass->GetLogLine(i));
        }
    }
    m_wndLog.SetRedraw(TRUE);
}

bool CMiscView::RewriteWidth(std::string& page, int width)
{
    static const std::string kStatement = "var width = ";
    const size_t script = FindNoCase(page, "<script", 0);
    if (script == std::string::npos)
        return false;
    const size_t swap = FindNoCase(page, "function swap_size(o)", script);
    if (swap == std::string::npos)
        return false;
    // Only digits may stand between the text and its semicolon: a remote
    // value in a script string never becomes the statement replaced.
    std::string statement;
    for (size_t at = FindNoCase(page, kStatement, script); at != std::string::npos && at < swap;
         at = FindNoCase(page, kStatement, at + 1)) {
        size_t end = at + kStatement.size();
        while (end < page.size() && std::isdigit(static_cast<unsigned char>(page[end])))
            ++end;
        if (end > at + kStatement.size() && end < page.size() && page[end] == ';') {
            statement = page.substr(at, end + 1 - at);
            break;
        }
    }
    if (statement.empty())
        return false;
    const std::string replacement = "var width = " + std::to_string(width) + ";";
    for (size_t at = page.find(statement); at != std::string::npos;
         at = page.find(statement, at + replacement.size())) {
        page.replace(at, statement.size(), replacement);
    }
    return true;
}

void CMiscView::ShowClassPage()
{
    if (!m_wndBrowser.m_hWnd)
        return;
    CString path;
    if (CSchoolClass* schoolClass = tavrin::app::GetCurrentClass()) {
        CAccount* account = schoolClass->GetAccount();
        path.Format("%s\\%s\\misc.htm", account ? static_cast<LPCTSTR>(account->GetDataFolder()) : "",
                    static_cast<LPCTSTR>(schoolClass->GetId()));
        // A page that cannot be read whole is shown as it is.
        std::string page;
        CRect client;
        GetClientRect(&client);
        if (tavrin::ReadWholeFile(path, page) && RewriteWidth(page, client.Width() - 15))
            tavrin::WriteFileAtomic(path, page.data(), page.size());
    }
    if (!tavrin::app::PageFileExists(path))
        path = tavrin::app::EmptyPagePath();
    if (tavrin::app::PageFileExists(path))
        m_wndBrowser.Navigate(path);
}

// Data exchange on the options and export dialogs with the real controls:
// texts, integers, check boxes, radio groups, dates and control objects both
// ways; the framework's validation messages with the focus and selection they
// leave, nothing stored on failure; notifications held back while fields go
// into the controls.
#include "platform/controls/CommCtrl.h"
#include "platform/controls/DateTimePick.h"
#include "platform/controls/Edit.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/WinApp.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class COptionsFixtureDlg : public CDialog {
public:
    COptionsFixtureDlg() : CDialog(IDD_OPTIONS) {}
    int m_listMax = 5000;
    int m_readDelay = 3;
    int m_interval = 30;
    int m_shownAtOnce = 1;
    CString m_host = "proxy.example";
    CString m_port = "8080";
    CString m_timeZone = "0";
    int m_popup = 1;
    int m_single = 0;
    int m_writes = 0; // what OnOK would store
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_LIST_MAX, m_listMax);
        DDX_Text(pDX, IDC_READ_DELAY, m_readDelay);
        DDX_Text(pDX, IDC_INTERVAL, m_interval);
        DDX_Text(pDX, IDC_PROXY_HOST, m_host);
        DDV_MaxChars(pDX, m_host, 20);
        DDX_Text(pDX, IDC_PROXY_PORT, m_port);
        DDX_Text(pDX, IDC_SHOWN_AT_ONCE, m_shownAtOnce);
        DDV_MinMaxInt(pDX, m_shownAtOnce, 1, 50);
        DDX_Text(pDX, IDC_TIME_ZONE, m_timeZone);
        DDX_Check(pDX, IDC_POPUP, m_popup);
        DDX_Check(pDX, IDC_SINGLE, m_single);
    }
    void OnOK() override
    {
        if (!UpdateData(TRUE))
            return;
        ++m_writes;
        EndDialog(IDOK);
    }
};

class CExportFixtureDlg : public CDialog {
public:
    CExportFixtureDlg() : CDialog(IDD_EXPORT) {}
    CWnd m_btnQuit;
    CWnd m_progress;
    int m_nPaging = -1;
    int m_nFilter = -1;
    CString m_strAuthor;
    CString m_strPageCount;
    CTime m_timeFrom;
    CTime m_timeTo;
    int m_bExportAlbum = FALSE;
    int m_bExportContacts = FALSE;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_QUIT, m_btnQuit);
        DDX_Control(pDX, IDC_PROGRESS, m_progress);
        DDX_Radio(pDX, IDC_PAGE_NONE, m_nPaging);
        DDX_Radio(pDX, IDC_FILTER_TIME, m_nFilter);
        DDX_Text(pDX, IDC_AUTHOR, m_strAuthor);
        DDX_DateTimeCtrl(pDX, IDC_DATE_FROM, m_timeFrom);
        DDX_DateTimeCtrl(pDX, IDC_DATE_TO, m_timeTo);
        DDX_Text(pDX, IDC_PAGE_COUNT, m_strPageCount);
        DDX_Check(pDX, IDC_EXPORT_ALBUM, m_bExportAlbum);
        DDX_Check(pDX, IDC_EXPORT_CONTACTS, m_bExportContacts);
    }
    void OnOK() override {}     // Enter never ends it
    void OnCancel() override {} // nor Esc
};

std::string ItemText(CWnd& dlg, int id)
{
    CString text;
    dlg.GetDlgItemText(id, text);
    return std::string(static_cast<LPCTSTR>(text));
}

bool Checked(CWnd& dlg, int id)
{
    return ::SendMessageA(::GetDlgItem(dlg.m_hWnd, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class DataExchangeTest : public tavrin::test::FrameworkResources {
protected:
    void SetUp() override
    {
        FrameworkResources::SetUp();
        ::InitCommonControls();
    }
};

} // namespace

TEST_F(DataExchangeTest, FieldsGoIntoTheControlsAndComeBack)
{
    COptionsFixtureDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPTIONS));
    // OnInitDialog moved the fields in.
    EXPECT_EQ(ItemText(dlg, IDC_LIST_MAX), "5000");
    EXPECT_EQ(ItemText(dlg, IDC_INTERVAL), "30");
    EXPECT_EQ(ItemText(dlg, IDC_PROXY_HOST), "proxy.example");
    EXPECT_TRUE(Checked(dlg, IDC_POPUP));
    EXPECT_FALSE(Checked(dlg, IDC_SINGLE));

    dlg.SetDlgItemText(IDC_LIST_MAX, " -42 ");
    dlg.SetDlgItemText(IDC_INTERVAL, "0");
    dlg.SetDlgItemText(IDC_PROXY_HOST, "代理");
    dlg.SetDlgItemText(IDC_SHOWN_AT_ONCE, "50");
    dlg.SetDlgItemText(IDC_TIME_ZONE, "-0.7");
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_POPUP), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_SINGLE), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_listMax, -42);
    EXPECT_EQ(dlg.m_interval, 0);
    EXPECT_STREQ(dlg.m_host, "代理");
    EXPECT_EQ(dlg.m_shownAtOnce, 50);
    EXPECT_STREQ(dlg.m_timeZone, "-0.7");
    EXPECT_EQ(dlg.m_popup, 0);
    EXPECT_EQ(dlg.m_single, 1);
    EXPECT_TRUE(tavrin::win::TakeMessageBoxLog().empty());
}

TEST_F(DataExchangeTest, AFailedCheckShowsItsMessageAndFocusesTheField)
{
    struct Case {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {IDC_LIST_MAX, "abc", "Please enter an integer."},
        {IDC_READ_DELAY, "12x", "Please enter an integer."},
        {IDC_INTERVAL, "", "Please enter an integer."},
        {IDC_LIST_MAX, "99999999999", "Please enter an integer."},
        {IDC_SHOWN_AT_ONCE, "0", "Please enter an integer between 1 and 50."},
        {IDC_SHOWN_AT_ONCE, "51", "Please enter an integer between 1 and 50."},
        {IDC_PROXY_HOST, "a-name-longer-than-twenty", "请输入不超过 20 个字符。"},
    };
    for (const Case& c : cases) {
        COptionsFixtureDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_OPTIONS));
        dlg.ShowWindow(SW_SHOW);
        dlg.SetDlgItemText(c.id, c.text);
        dlg.SendMessage(WM_COMMAND, IDOK);
        EXPECT_EQ(dlg.m_writes, 0) << c.text;
        EXPECT_TRUE(::IsWindow(dlg.m_hWnd)) << "the dialog stays open";
        auto boxes = tavrin::win::TakeMessageBoxLog();
        ASSERT_EQ(boxes.size(), 1u) << c.text;
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].type & 0xF0, static_cast<UINT>(MB_ICONEXCLAMATION));
        HWND field = ::GetDlgItem(dlg.m_hWnd, c.id);
        EXPECT_EQ(::GetFocus(), field) << c.text;
        DWORD start = 0, end = 0;
        ::SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u) << c.text;
        EXPECT_EQ(end, static_cast<DWORD>(std::string(c.text).size())) << c.text;
    }
}

TEST_F(DataExchangeTest, RadioGroupsDatesChecksAndControls)
{
    CExportFixtureDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_EXPORT));
    // Both groups start with nothing chosen.
    for (int id : {IDC_PAGE_NONE, IDC_PAGE_DAY, IDC_PAGE_WEEK, IDC_PAGE_MONTH, IDC_PAGE_EQUAL, IDC_FILTER_TIME,
                   IDC_FILTER_AUTHOR})
        EXPECT_FALSE(Checked(dlg, id)) << id;
    EXPECT_EQ(dlg.m_btnQuit.m_hWnd, ::GetDlgItem(dlg.m_hWnd, IDC_QUIT));
    EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(dlg.m_hWnd, IDC_PROGRESS)), &dlg.m_progress);

    dlg.m_nPaging = 3;
    dlg.m_nFilter = 1;
    dlg.m_timeFrom = CTime(2024, 3, 5, 0, 0, 0);
    dlg.m_timeTo = CTime(2024, 4, 1, 0, 0, 0);
    dlg.m_bExportAlbum = TRUE;
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_TRUE(Checked(dlg, IDC_PAGE_MONTH));
    EXPECT_FALSE(Checked(dlg, IDC_PAGE_NONE));
    EXPECT_TRUE(Checked(dlg, IDC_FILTER_AUTHOR));
    EXPECT_FALSE(Checked(dlg, IDC_FILTER_TIME));
    EXPECT_TRUE(Checked(dlg, IDC_EXPORT_ALBUM));

    // The user picks another paging, another date and the contacts.
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_PAGE_DAY), BM_CLICK, 0, 0);
    SYSTEMTIME st{};
    CTime(2025, 1, 2, 0, 0, 0).GetAsSystemTime(st);
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_DATE_TO), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_EXPORT_CONTACTS), BM_CLICK, 0, 0);
    dlg.SetDlgItemText(IDC_PAGE_COUNT, "7");
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nPaging, 1);
    EXPECT_EQ(dlg.m_nFilter, 1);
    EXPECT_EQ(dlg.m_timeFrom, CTime(2024, 3, 5, 0, 0, 0));
    EXPECT_EQ(dlg.m_timeTo, CTime(2025, 1, 2, 0, 0, 0));
    EXPECT_EQ(dlg.m_bExportAlbum, TRUE);
    EXPECT_EQ(dlg.m_bExportContacts, TRUE);
    EXPECT_STREQ(dlg.m_strPageCount, "7");
    // Esc does nothing to this dialog.
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
}


namespace {

class CWatchedOptionsDlg : public COptionsFixtureDlg {
public:
    int m_changes = 0;
    void OnIntervalChange() { ++m_changes; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CWatchedOptionsDlg, COptionsFixtureDlg)
    ON_CONTROL(EN_CHANGE, IDC_INTERVAL, OnIntervalChange)
END_MESSAGE_MAP()

} // namespace

TEST_F(DataExchangeTest, FieldsGoInWithoutChangeNotices)
{
    CWatchedOptionsDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPTIONS));
    EXPECT_EQ(dlg.m_changes, 0) << "OnInitDialog's exchange told nobody";
    dlg.m_interval = 45;
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(ItemText(dlg, IDC_INTERVAL), "45");
    EXPECT_EQ(dlg.m_changes, 0);
    // A change made by anyone else is heard.
    dlg.SetDlgItemText(IDC_INTERVAL, "0");
    EXPECT_EQ(dlg.m_changes, 1);
    dlg.DestroyWindow();
}

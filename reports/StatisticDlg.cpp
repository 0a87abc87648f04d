#include "reports/StatisticDlg.h"

#include "core/model/MessageStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "platform/base/KernelObject.h"
#include "platform/base/Sync.h"
#include "platform/win/WinMessage.h"
#include "reports/ClassFolder.h"
#include "reports/ReportProgress.h"
#include "reports/res/ReportsIds.h"

#include <boost/bind/bind.hpp>

using namespace tavrin::reports;

IMPLEMENT_DYNAMIC(CStatisticDlg, CDialog)

BEGIN_MESSAGE_MAP(CStatisticDlg, CDialog)
    ON_COMMAND(IDOK, OnNothing)
    ON_COMMAND(IDCANCEL, OnNothing)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

// The worker's view of the dialog's controls. The bar moves only when its
// position changes by a thousandth of the range, so a long run does not
// spend its time in sends to the window thread.
class CStatisticDlg::Progress : public ReportProgress {
public:
    explicit Progress(CStatisticDlg& dlg) : m_dlg(dlg) {}
    void SetStatus(const CString& text) override { m_dlg.ShowStatus(text); }
    void SetRange(int upper) override
    {
        m_upper = upper;
        m_dlg.ShowRange(upper);
    }
    void SetPos(int pos) override
    {
        long long step = m_upper > 1000 ? m_upper / 1000 : 1;
        if (pos == 0 || pos >= m_upper || pos < m_shown || pos - m_shown >= step) {
            m_shown = pos;
            m_dlg.ShowPos(pos);
        }
    }

private:
    CStatisticDlg& m_dlg;
    int m_upper = 100;
    int m_shown = 0;
};

CStatisticDlg::CStatisticDlg(CWnd* pParent, CSchoolClass* pClass) : CDialog(IDD_STATISTIC, pParent), m_pClass(pClass)
{
    // Signalled while no worker runs: a dialog that never opened joins nothing.
    m_done = ::CreateEvent(nullptr, TRUE, TRUE, nullptr);
}

CStatisticDlg::~CStatisticDlg()
{
    JoinWorker();
    if (m_done)
        ::CloseHandle(m_done);
}

void CStatisticDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATISTIC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_STATISTIC_STATUS, m_stcStatus);
}

BOOL CStatisticDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_stcStatus.SetWindowText("");
    // Busy from here: a close request before the worker has taken its lock
    // must not wait for it.
    m_running = true;
    ::ResetEvent(m_done);
    m_threads.create_thread(boost::bind(&CStatisticDlg::StatisticThread, this));
    return TRUE;
}

void CStatisticDlg::OnClose()
{
    if (m_running) {
        // The worker runs: ask again until it has returned.
        PostMessage(WM_CLOSE);
        return;
    }
    JoinWorker();
    // The framework's OK path, with the run's outcome as the result.
    if (!UpdateData(TRUE))
        return;
    EndDialog(m_result.pagesWritten == kStatisticPageCount ? IDOK : IDCANCEL);
}

CString CStatisticDlg::GetPageToShow() const
{
    if (m_running || !m_result.firstPageWritten)
        return CString();
    return m_classFolder + "\\" + kFirstStatisticPage;
}

void CStatisticDlg::JoinWorker()
{
    if (m_done)
        tavrin::WaitServingSends(m_done, INFINITE);
    m_threads.join_all();
}

void CStatisticDlg::StatisticThread()
{
    OnWorkerStart();
    {
        boost::unique_lock<boost::try_mutex> lock(m_mutex, boost::try_to_lock);
        if (lock.owns_lock()) {
            try {
                Run();
            } catch (...) {
                // Nothing leaves the thread; the dialog stays open.
            }
        }
    }
    m_running = false;
    ::SetEvent(m_done);
}

void CStatisticDlg::Run()
{
    CMessageStore* store = m_pClass ? m_pClass->GetMessageStore() : nullptr;
    // A copy under the items lock: an update may reload the records meanwhile.
    std::vector<MessageFields> messages;
    if (store) {
        auto lock = store->LockItems();
        int count = store->GetItemCount();
        messages.reserve(count > 0 ? static_cast<size_t>(count) : 0);
        for (int i = 0; i < count; ++i) {
            auto* item = dynamic_cast<CMessageItem*>(store->GetItem(i));
            messages.push_back(item ? MessageFields{item->m_user, item->m_time} : MessageFields{});
        }
    }
    if (messages.empty()) {
        PostMessage(WM_CLOSE);
        return;
    }
    Progress progress(*this);
    CString folder;
    if (GetClassFolder(m_pClass, folder)) {
        m_classFolder = folder;
        m_result = RunStatistics(messages, GetAppDir(), folder, CTime::GetCurrentTime(), progress);
    }
    if (m_result.pagesWritten == 0) {
        ShowStatus("没有写出任何统计页面。");
        return;
    }
    if (m_result.completed)
        PostMessage(WM_CLOSE);
}

void CStatisticDlg::ShowStatus(const CString& text) { m_stcStatus.SetWindowText(text); }

void CStatisticDlg::ShowRange(int upper) { m_progress.SetRange32(0, upper); }

void CStatisticDlg::ShowPos(int pos) { m_progress.SetPos(pos); }

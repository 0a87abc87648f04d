#include "reports/ExportMessageDlg.h"

#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "core/services/HtmlTags.h"
#include "platform/base/KernelObject.h"
#include "platform/base/Sync.h"
#include "platform/mfc/Edit.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Shell.h"
#include "platform/win/WinMessage.h"
#include "reports/ClassFolder.h"
#include "reports/OpenSaveFileDialog.h"
#include "reports/ReportProgress.h"
#include "reports/res/ReportsIds.h"

#include <boost/bind/bind.hpp>

using namespace tavrin::reports;

namespace {

// From the worker: wParam 1 when an export begins, 0 when it has ended.
const UINT WM_EXPORT_STATE = WM_APP + 0x162;

} // namespace

BEGIN_MESSAGE_MAP(CExportMessageDlg, CDialog)
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_EXPORT_QUIT, OnQuit)
    ON_BN_CLICKED(IDC_EXPORT_START, OnExport)
    ON_BN_CLICKED(IDC_EXPORT_PAGE_EQUAL, OnEqualPages)
    ON_BN_CLICKED(IDC_EXPORT_PAGE_NONE, OnOptionChanged)
    ON_BN_CLICKED(IDC_EXPORT_PAGE_DAY, OnOptionChanged)
    ON_BN_CLICKED(IDC_EXPORT_PAGE_WEEK, OnOptionChanged)
    ON_BN_CLICKED(IDC_EXPORT_PAGE_MONTH, OnOptionChanged)
    ON_BN_CLICKED(IDC_EXPORT_FILTER_TIME, OnOptionChanged)
    ON_BN_CLICKED(IDC_EXPORT_FILTER_AUTHOR, OnOptionChanged)
    ON_EN_CHANGE(IDC_EXPORT_PAGE_COUNT, OnOptionChanged)
    ON_EN_CHANGE(IDC_EXPORT_AUTHOR, OnOptionChanged)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_EXPORT_DATE_FROM, OnDateTimeChange)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_EXPORT_DATE_TO, OnDateTimeChange)
    ON_MESSAGE(WM_EXPORT_STATE, OnExportState)
END_MESSAGE_MAP()

// The worker's view of the bar and the phase label: sent to the controls.
class CExportMessageDlg::Progress : public ReportProgress {
public:
    explicit Progress(CExportMessageDlg& dlg) : m_dlg(dlg) {}
    void SetStatus(const CString& text) override { m_dlg.m_stcPhase.SetWindowText(text); }
    void SetRange(int upper) override { m_dlg.m_progress.SetRange32(0, upper); }
    void SetPos(int pos) override { m_dlg.m_progress.SetPos(pos); }

private:
    CExportMessageDlg& m_dlg;
};

CExportMessageDlg::CExportMessageDlg(CWnd* pParent) : CDialog(IDD_EXPORT_MESSAGE, pParent)
{
    m_done = ::CreateEvent(nullptr, TRUE, TRUE, nullptr);
}

CExportMessageDlg::~CExportMessageDlg()
{
    JoinWorker();
    if (m_done)
        ::CloseHandle(m_done);
}

void CExportMessageDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EXPORT_QUIT, m_btnQuit);
    DDX_Control(pDX, IDC_EXPORT_START, m_btnExport);
    DDX_Control(pDX, IDC_EXPORT_PROGRESS, m_progress);
    DDX_Radio(pDX, IDC_EXPORT_PAGE_NONE, m_nPaging);
    DDX_Radio(pDX, IDC_EXPORT_FILTER_TIME, m_nFilter);
    DDX_Text(pDX, IDC_EXPORT_AUTHOR, m_strAuthor);
    DDX_DateTimeCtrl(pDX, IDC_EXPORT_DATE_FROM, m_timeFrom);
    DDX_DateTimeCtrl(pDX, IDC_EXPORT_DATE_TO, m_timeTo);
    DDX_Text(pDX, IDC_EXPORT_PAGE_COUNT, m_strPageCount);
    DDX_Text(pDX, IDC_EXPORT_MESSAGE_COUNT, m_strMessageCount);
    DDX_Text(pDX, IDC_EXPORT_PAGE_TOTAL, m_strPageTotal);
    DDX_Check(pDX, IDC_EXPORT_ALBUM, m_bExportAlbum);
    DDX_Check(pDX, IDC_EXPORT_CONTACTS, m_bExportContacts);
    DDX_Control(pDX, IDC_EXPORT_PHASE, m_stcPhase);
}

BOOL CExportMessageDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nFilter = kFilterTime;
    m_nPaging = kPagingMonth;
    m_bExportAlbum = TRUE;
    m_bExportContacts = TRUE;
    CTime now = CTime::GetCurrentTime();
    m_timeFrom = CTime(now.GetYear(), now.GetMonth(), 1, 0, 0, 0);
    m_timeTo = now;
    UpdateData(FALSE);
    m_progress.ShowWindow(SW_HIDE);
    BuildPagePlan();
    return TRUE;
}

void CExportMessageDlg::BuildPagePlan()
{
    if (!m_pClass || m_building)
        return;
    m_building = true;
    UpdateData(TRUE);
    std::vector<PlanMessage> messages;
    if (CMessageStore* store = m_pClass->GetMessageStore()) {
        auto lock = store->LockItems();
        int count = store->GetItemCount();
        for (int i = 0; i < count; ++i) {
            if (auto* item = dynamic_cast<CMessageItem*>(store->GetItem(i)))
                messages.push_back({item->m_custoId, item->m_user, item->m_time});
        }
    }
    PlanOptions options{m_nPaging, m_nFilter, m_strAuthor, m_timeFrom, m_timeTo, m_strPageCount};
    m_plan = BuildExportPlan(messages, options);
    m_strMessageCount.Format("共有 %d 条留言", m_plan.messageCount);
    // A running export keeps its own range.
    if (!m_running)
        m_progress.SetRange32(0, m_plan.messageCount);
    m_strPageTotal.Format("共有 %d 页留言", static_cast<int>(m_plan.pages.size()));
    UpdateData(FALSE);
    m_building = false;
}

void CExportMessageDlg::OnOptionChanged() { BuildPagePlan(); }

void CExportMessageDlg::OnDateTimeChange(NMHDR*, LRESULT* pResult)
{
    BuildPagePlan();
    *pResult = 0;
}

void CExportMessageDlg::OnEqualPages()
{
    UpdateData(TRUE);
    if (ReadPageCount(m_strPageCount) < 1) {
        m_strPageCount = "1";
        UpdateData(FALSE);
    }
    BuildPagePlan();
}

tavrin::reports::ExportJob CExportMessageDlg::MakeJob(const CString& indexPath)
{
    ExportJob job;
    job.indexPath = indexPath;
    job.plan = m_plan;
    job.album = m_bExportAlbum != FALSE;
    job.contacts = m_bExportContacts != FALSE;
    job.appDir = GetAppDir();
    if (!m_pClass)
        return job;
    job.classLabel = m_pClass->GetSchoolName() + "-" + m_pClass->GetName();
    StripHtmlTags(job.classLabel);
    GetClassFolder(m_pClass, job.classFolder);
    if (CPictureStore* store = m_pClass->GetPictureStore(); store && job.album) {
        auto lock = store->LockItems();
        for (int i = 0; i < store->GetItemCount(); ++i) {
            if (auto* item = dynamic_cast<CPictureItem*>(store->GetItem(i)))
                job.photos.push_back({item->m_custoId, item->m_id, item->m_tile});
        }
    }
    if (CContactStore* store = m_pClass->GetContactStore(); store && job.contacts) {
        auto lock = store->LockItems();
        for (int i = 0; i < store->GetItemCount(); ++i) {
            if (auto* item = dynamic_cast<CContactItem*>(store->GetItem(i)))
                job.people.push_back({item->m_custoId, item->m_id, item->m_realName});
        }
    }
    return job;
}

void CExportMessageDlg::OnExport()
{
    if (m_running)
        return;
    if (m_pThread) {
        m_pThread->join();
        m_threads.remove_thread(m_pThread);
        delete m_pThread;
        m_pThread = nullptr;
    }
    if (m_plan.pages.empty() &&
        ::MessageBox(m_hWnd, "你没有选择任何留言！继续吗？", "警告", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    UpdateData(TRUE);
    CString name = m_nFilter == kFilterAuthor ? m_strAuthor
                                              : m_timeFrom.Format("%Y%m%d_") + m_timeTo.Format("%Y%m%d");
    static const char kFilter[] = "HTML文件 (*.htm)\0*.htm\0";
    COpenSaveFileDialog save(FALSE, "htm", name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter, this);
    if (save.DoModal() != IDOK)
        return;
    m_job = MakeJob(save.GetPathName());
    // Busy before the thread starts: a close request must not wait for it.
    m_running = true;
    ::ResetEvent(m_done);
    m_pThread = m_threads.create_thread(boost::bind(&CExportMessageDlg::ExportThread, this, m_job.indexPath));
}

void CExportMessageDlg::ExportThread(CString indexPath)
{
    {
        boost::unique_lock<boost::try_mutex> lock(m_mutex, boost::try_to_lock);
        if (lock.owns_lock()) {
            try {
                SendMessage(WM_EXPORT_STATE, 1);
                Progress progress(*this);
                CSchoolClass* cls = m_pClass;
                ExportResult result = RunExport(m_job, cls ? cls->GetMessageStore() : nullptr,
                                                cls ? cls->GetPictureStore() : nullptr,
                                                cls ? cls->GetContactStore() : nullptr, progress);
                if (result.refused) {
                    ::MessageBox(m_hWnd, "不能导出到程序的样式文件夹或班级的图片文件夹中，请另选一个文件夹。", "错误",
                                 MB_OK | MB_ICONERROR);
                } else if (::MessageBox(m_hWnd, ExportDoneText(result, m_job.plan.skippedNoDate), "提示",
                                        MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
                    ::ShellExecute(m_hWnd, "open", indexPath, nullptr, nullptr, SW_SHOWNORMAL);
                }
            } catch (...) {
                // Nothing leaves the thread.
            }
            SendMessage(WM_EXPORT_STATE, 0);
        }
    }
    m_running = false;
    ::SetEvent(m_done);
}

LRESULT CExportMessageDlg::OnExportState(WPARAM wParam, LPARAM)
{
    const bool begins = wParam != 0;
    m_btnExport.EnableWindow(!begins);
    m_btnQuit.EnableWindow(!begins);
    if (begins) {
        m_progress.SetPos(0);
        m_stcPhase.SetWindowText("留言");
    }
    m_progress.ShowWindow(begins ? SW_SHOW : SW_HIDE);
    m_stcPhase.ShowWindow(begins ? SW_SHOW : SW_HIDE);
    return 0;
}

void CExportMessageDlg::JoinWorker()
{
    if (m_done)
        tavrin::WaitServingSends(m_done, INFINITE);
    m_threads.join_all();
}

void CExportMessageDlg::EndWithOk()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CExportMessageDlg::OnClose()
{
    if (m_running)
        return;
    JoinWorker();
    EndWithOk();
}

void CExportMessageDlg::OnQuit()
{
    if (m_running)
        return;
    EndWithOk();
}

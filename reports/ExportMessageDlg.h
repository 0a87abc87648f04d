// CExportMessageDlg: the message export of one class. The user picks the
// messages (a date range or one author), the paging and the extra parts; the
// plan is rebuilt on every change, and an export runs on a thread of its own
// into the folder of the chosen index page.
#pragma once

// The picker's own header first: it defines the data exchange's date constants.
#include "platform/mfc/DateTimeCtrl.h"

#include "platform/mfc/Button.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/ProgressCtrl.h"
#include "platform/mfc/Static.h"
#include "reports/ExportPlan.h"
#include "reports/ExportWorker.h"

#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>

class CSchoolClass;

class CExportMessageDlg : public CDialog {
public:
    explicit CExportMessageDlg(CWnd* pParent = nullptr);
    ~CExportMessageDlg() override;

    void SetSchoolClass(CSchoolClass* pClass) { m_pClass = pClass; }
    void BuildPagePlan();
    void ExportThread(CString indexPath);

    const tavrin::reports::ExportPlan& GetPlan() const { return m_plan; }
    BOOL IsExporting() const { return m_running.load(); }

    CButton m_btnQuit;
    CButton m_btnExport;
    CProgressCtrl m_progress;
    int m_nPaging = -1;
    int m_nFilter = -1;
    CString m_strAuthor;
    CTime m_timeFrom = CTime(0);
    CTime m_timeTo = CTime(0);
    CString m_strPageCount;
    CString m_strMessageCount;
    CString m_strPageTotal;
    CSchoolClass* m_pClass = nullptr;
    tavrin::reports::ExportPlan m_plan;
    boost::thread_group m_threads;
    boost::thread* m_pThread = nullptr;
    boost::try_mutex m_mutex;
    BOOL m_bExportAlbum = FALSE;
    BOOL m_bExportContacts = FALSE;
    CStatic m_stcPhase;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    void OnClose();
    void OnQuit();
    void OnExport();
    void OnEqualPages();
    void OnOptionChanged();
    void OnDateTimeChange(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnExportState(WPARAM wParam, LPARAM lParam);

private:
    class Progress;
    // The worker's own copy of what it reads, taken on the window thread.
    tavrin::reports::ExportJob MakeJob(const CString& indexPath);
    void JoinWorker();
    void EndWithOk();

    // Set before the worker starts and cleared as its last step.
    std::atomic<bool> m_running{false};
    HANDLE m_done = nullptr;
    tavrin::reports::ExportJob m_job;  // the running export's
    bool m_building = false;
    DECLARE_MESSAGE_MAP()
};

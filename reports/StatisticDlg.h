// CStatisticDlg: the message statistics of one class. It shows a status line
// and a bar while its worker counts the stored messages and writes the
// fourteen pages, and closes itself when they are written.
#pragma once

#include "platform/mfc/Dialog.h"
#include "platform/mfc/ProgressCtrl.h"
#include "platform/mfc/Static.h"
#include "reports/StatisticPages.h"

#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>

class CSchoolClass;

class CStatisticDlg : public CDialog {
    DECLARE_DYNAMIC(CStatisticDlg)
public:
    CStatisticDlg(CWnd* pParent, CSchoolClass* pClass);
    ~CStatisticDlg() override;

    // After DoModal: IDOK when all fourteen pages were written, else IDCANCEL.
    // The page to show afterwards: the first page when this run wrote it,
    // else empty (the caller shows its empty page).
    CString GetPageToShow() const;

    void StatisticThread();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnClose();
    void OnNothing() {}

    // Progress, from the worker: sent to the controls of the window thread.
    virtual void ShowStatus(const CString& text);
    virtual void ShowRange(int upper);
    virtual void ShowPos(int pos);
    // The worker's first step, before it takes the run lock.
    virtual void OnWorkerStart() {}

    CProgressCtrl m_progress;
    CStatic m_stcStatus;
    boost::thread_group m_threads;
    boost::try_mutex m_mutex;
    CSchoolClass* m_pClass;

private:
    class Progress;
    void Run();
    // Joins the worker; a worker still sending is served meanwhile.
    void JoinWorker();

    // Set before the worker starts and cleared as its last step, so the close
    // rule never waits for a worker that may still send to the dialog.
    std::atomic<bool> m_running{false};
    HANDLE m_done = nullptr;
    tavrin::reports::StatisticRunResult m_result;  // the worker's, read after the join
    CString m_classFolder;
    DECLARE_MESSAGE_MAP()
};

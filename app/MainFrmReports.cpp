// The class reports: the message export and the message statistics, whose
// first page the display pane shows afterwards.
#include "app/MainFrm.h"
#include "app/MsgDispView.h"
#include "app/TavrinView.h"
#include "reports/ExportMessageDlg.h"
#include "reports/StatisticDlg.h"

void CMainFrame::OnExportData()
{
    CSchoolClass* schoolClass = m_pTreeView ? m_pTreeView->GetCurrentClass() : nullptr;
    if (!schoolClass)
        return;
    CExportMessageDlg dlg;
    dlg.SetSchoolClass(schoolClass);
    dlg.DoModal();
}

void CMainFrame::OnMessageStatistics()
{
    CSchoolClass* schoolClass = m_pTreeView ? m_pTreeView->GetCurrentClass() : nullptr;
    if (!schoolClass)
        return;
    CStatisticDlg dlg(this, schoolClass);
    dlg.DoModal();
    // Only a page this run wrote is shown; otherwise the empty page.
    if (m_pDispView)
        m_pDispView->ShowPage(dlg.GetPageToShow());
}

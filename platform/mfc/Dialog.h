// Dialogs of the framework: made from a template resource or one in memory;
// modal runs disable the owner and use the framework's modal loop (idle
// passes and WM_KICKIDLE) until EndDialog; modeless ones live beside their
// owner. Data exchange moves the fields into the controls and back.
#pragma once

#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/Dialog.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless.
    // The base class's forms stay callable beside these.
    using CWnd::Create;
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
    // Modal: the template in memory instead of a resource.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
    // The result given to EndDialog; -1 when the dialog could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }
    DWORD GetDefID() const { return static_cast<DWORD>(SendMessage(DM_GETDEFID)); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    LRESULT HandleInitDialog(WPARAM, LPARAM);

    LPCTSTR m_lpszTemplateName = nullptr;
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;
    UINT m_nIDHelp = 0;

protected:
    BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);
    // The template to use: the one in memory or the resource's.
    LPCDLGTEMPLATE FindTemplate(HINSTANCE* phInst) const;
    // Centred when the template gives no place of its own.
    BOOL CheckAutoCenter();
    HWND m_hWndTop = nullptr;
    LPCDLGTEMPLATE m_lpCreatingTemplate = nullptr; // during creation
    DECLARE_MESSAGE_MAP()
};

// The dialog procedure of every framework dialog: WM_INITDIALOG reaches
// OnInitDialog, the rest goes to the message map through the window procedure.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The compose pane (right, bottom): writes a message or reply, a photo
// comment, or a note for the current class, chosen by the item lists' tab.
// It keeps no text of its own: every key goes into the unsent compose texts
// of the store the tab stands for, so each class and tab keeps its own.
#pragma once

#include "app/ComposeEdit.h"
#include "app/SmileyPicker.h"
#include "platform/mfc/Button.h"
#include "platform/mfc/ComboBox.h"
#include "platform/mfc/Edit.h"
#include "platform/mfc/ImageList.h"
#include "toolkit/controls/XTCaption.h"
#include "toolkit/controls/XTResizeFormView.h"

class CClassStore;
class CSchoolClass;

class CComposeView : public CXTResizeFormView {
    DECLARE_DYNCREATE(CComposeView)
public:
    CComposeView();
    ~CComposeView() override;

    // Every control again from the current class, tab and store.
    void SetMode();
    // SetMode once a send has had 100 ms to claim its store's busy flag.
    void SetModeSoon();
    // SetMode now and, while the tab's send is still busy (the sent event
    // comes before the worker lets go of its flag), again once it is not.
    void SetModeWhenIdle();

    // A new bitmap (the caller's) of the smiley on the body's background.
    HBITMAP MakeSmileyBitmap(CImageList* pImageList, int nIndex);

    // Asks for the verification code of the store's item unless one is
    // stored; FALSE when the send is to stop. bPhoto picks the message.
    static BOOL PassVerifyGate(CWnd* pOwner, CClassStore* pStore, const CString& itemId, BOOL bPhoto);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnInitialUpdate() override;

    CXTCaption m_wndCaption;
    CImageList m_imageList;
    CButton m_wndAutoPreview;
    CEdit m_wndSubject;
    CButton m_wndSend;
    CComboBox m_wndMode;
    CSmileyButton m_wndSmiley;
    CComposeEdit m_wndBody;
    CString m_strCount;

    // Handlers
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnSysColorChange();
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnTimer(UINT_PTR nIDEvent);
    void OnSubjectChange();
    void OnBodyChange();
    void OnModeChange();
    void OnSend();
    void OnAutoPreview();
    void OnCloseCaption();
    LRESULT OnInsertSmiley(WPARAM wParam, LPARAM lParam);
    void OnUndo();
    void OnCut();
    void OnCopy();
    void OnPaste();
    void OnDeleteSelection();
    void OnSelectAll();
    void OnPreview();
    void OnUpdateUndo(CCmdUI* pCmdUI);
    void OnUpdateNeedsSelection(CCmdUI* pCmdUI);
    void OnUpdatePaste(CCmdUI* pCmdUI);

protected:
    // Where the pane meets the rest of the window; the frame answers.
    virtual CSchoolClass* GetCurrentClass();
    // 0 messages, 1 photos, 2 contacts, 3 notes.
    virtual int GetCurrentTab();
    // An empty path shows the empty page.
    virtual void ShowPage(const CString& path);
    // Selects the message list's row again so that its page shows.
    virtual void ShowMessageRow(int nIndex);
    virtual void HidePane();

    // Writes compose.htm from the message store's texts and shows it.
    void Preview(CSchoolClass* pClass);
    // The store whose texts the tab edits; null for another tab.
    static CClassStore* GetTabStore(CSchoolClass* pClass, int nTab);
    // A send, reply, comment or note of the tab's kind runs.
    static BOOL IsTabBusy(CSchoolClass* pClass, int nTab);
    void ShowCount(CClassStore* pStore);
    // The sends of the four tabs.
    void StartMessageSend(CSchoolClass* pClass);
    void StartPhotoComment(CSchoolClass* pClass);
    void StartNoteSend(CSchoolClass* pClass);
    void StartNoteReply(CSchoolClass* pClass);
    // The control with the focus among the body and the subject box.
    CWnd* GetEditTarget();

    DECLARE_MESSAGE_MAP()
};

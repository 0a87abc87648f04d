// Documents and the plain view base: a document owns its data and knows its
// views; a view shows one document inside a frame. Commands a view does not
// handle go on to its document, then to the document's template.
#pragma once

#include "platform/mfc/Wnd.h"
#include "platform/mfc/res/FrameworkIds.h"

#include <vector>

// As the collections declare it.
typedef struct __POSITION* POSITION;

class CArchive;
class CDocTemplate;
class CDocument;
class CFrameWnd;
class CSplitterWnd;
class CView;

// What a frame needs to make its views: passed through window creation.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    virtual void OnChangedViewList();

    virtual void DeleteContents() {}
    virtual BOOL OnNewDocument();
    // Loads through Serialize; a file that cannot be read or a damaged one
    // is reported and leaves the document empty.
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    // Stores through Serialize; the old file stays when anything fails.
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    // Destroys the frames of its views and, when it frees itself, the document.
    virtual void OnCloseDocument();
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual BOOL SaveModified();
    virtual void PreCloseFrame(CFrameWnd*) {}
    virtual void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault);
    virtual BOOL DoFileSave();

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    BOOL m_bAutoDelete = TRUE;
    BOOL m_bEmbedded = FALSE;

protected:
    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_viewList;
    BOOL m_bModified = FALSE;
    friend class CDocTemplate;
};

// The base of every view: the document link, the initial update from
// WM_INITIALUPDATE, activation inside its frame, painting through OnDraw.
// Views are made by their frame and free themselves when their window goes.
class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    ~CView() override;
    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnDraw(CDC* pDC) = 0;
    // Sets up the DC before OnDraw (a scrolling view moves its origin).
    virtual void OnPrepareDC(CDC*, void* = nullptr) {}
    // The splitter the window is a pane of, or null; unless bAnyState, only
    // one that is a pane of the frame's client.
    static CSplitterWnd* GetParentSplitter(const CWnd* pWnd, BOOL bAnyState);
    // The frame made this view active (or another one): the active view
    // takes the focus while its frame is active.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT, CFrameWnd*) {}

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void PostNcDestroy() override { delete this; }

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

protected:
    CView() = default;
    CDocument* m_pDocument = nullptr;
    friend class CDocument;
    DECLARE_MESSAGE_MAP()
};

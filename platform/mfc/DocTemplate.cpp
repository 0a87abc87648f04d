#include "platform/mfc/DocTemplate.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CDocManager, CObject)

BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, TCHAR chSep)
{
    rString.Empty();
    if (!lpszFullString || iSubString < 0)
        return FALSE;
    const char* p = lpszFullString;
    while (iSubString--) {
        p = std::strchr(p, chSep);
        if (!p)
            return FALSE;
        ++p;
    }
    const char* end = std::strchr(p, chSep);
    rString = CString(p, end ? static_cast<int>(end - p) : static_cast<int>(std::strlen(p)));
    return TRUE;
}

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass), m_nIDResource(nIDResource)
{
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        AfxLoadString(m_nIDResource, m_strDocStrings);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    AfxExtractSubString(rString, m_strDocStrings, static_cast<int>(index));
    return !rString.IsEmpty();
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    CDocument* pDocument = DYNAMIC_DOWNCAST(CDocument, m_pDocClass->CreateObject());
    if (pDocument)
        AddDocument(pDocument);
    return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (!m_pFrameClass)
        return nullptr;
    CObject* pObject = m_pFrameClass->CreateObject();
    CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pObject);
    if (!pFrame) {
        delete pObject;
        return nullptr;
    }
    // A frame that fails to load has freed itself (PostNcDestroy).
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* pDoc = GetNextDoc(pos);
        if (pDoc && pDoc->GetPathName() == lpszPathName) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }
    CString ext;
    if (GetDocString(ext, filterExt)) {
        size_t n = std::strlen(lpszPathName);
        size_t e = static_cast<size_t>(ext.GetLength());
        if (n >= e && ext.CompareNoCase(lpszPathName + n - e) == 0)
            return yesAttemptNative;
    }
    return yesAttemptForeign;
}

BOOL CDocTemplate::SaveAllModified()
{
    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* pDoc = GetNextDoc(pos);
        if (pDoc && !pDoc->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    POSITION pos = GetFirstDocPosition();
    while (pos) {
        CDocument* pDoc = GetNextDoc(pos);
        if (pDoc)
            pDoc->OnCloseDocument();
    }
}

// CSingleDocTemplate

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
    LoadTemplate();
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc)
        m_pOnlyDoc->OnCloseDocument();
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const { return reinterpret_cast<POSITION>(m_pOnlyDoc); }

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* pDoc = reinterpret_cast<CDocument*>(rPos);
    rPos = nullptr;
    return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName))
        AfxLoadString(AFX_IDS_UNTITLED, title);
    pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = nullptr;
    CFrameWnd* pFrame = nullptr;
    BOOL bCreated = FALSE;
    if (m_pOnlyDoc) {
        // The one document is reused: its changes are offered for saving first.
        pDocument = m_pOnlyDoc;
        if (!pDocument->SaveModified())
            return nullptr;
        POSITION pos = pDocument->GetFirstViewPosition();
        CView* pView = pos ? pDocument->GetNextView(pos) : nullptr;
        pFrame = pView ? pView->GetParentFrame() : nullptr;
    } else {
        pDocument = CreateNewDocument();
        bCreated = TRUE;
    }
    if (!pDocument) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return nullptr;
    }
    if (!pFrame) {
        BOOL bAutoDelete = pDocument->m_bAutoDelete;
        pDocument->m_bAutoDelete = FALSE; // a failed frame must not take the document with it
        pFrame = CreateNewFrame(pDocument, nullptr);
        pDocument->m_bAutoDelete = bAutoDelete;
        if (!pFrame) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            if (bCreated)
                delete pDocument;
            return nullptr;
        }
    }
    if (!lpszPathName) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            if (bCreated)
                pFrame->DestroyWindow(); // takes the document with its view
            return nullptr;
        }
    } else {
        BOOL bWasModified = pDocument->IsModified();
        pDocument->SetModifiedFlag(FALSE);
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            if (bCreated) {
                pFrame->DestroyWindow();
            } else if (!pDocument->IsModified()) {
                pDocument->SetModifiedFlag(bWasModified); // the old contents are untouched
            } else {
                // The old contents were emptied by the failed load: start afresh.
                SetDefaultTitle(pDocument);
                pDocument->OnNewDocument();
            }
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName);
    }
    CWinThread* pThread = AfxGetThread();
    if (bCreated && pThread && !pThread->m_pMainWnd)
        pThread->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}

// CDocManager

CDocManager::~CDocManager()
{
    for (CDocTemplate* pTemplate : m_templateList) {
        if (pTemplate->m_bAutoDelete)
            delete pTemplate;
    }
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!pTemplate)
        return;
    pTemplate->LoadTemplate();
    m_templateList.push_back(pTemplate);
}

POSITION CDocManager::GetFirstDocTemplatePosition() const
{
    return m_templateList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<size_t>(1));
}

CDocTemplate* CDocManager::GetNextDocTemplate(POSITION& pos) const
{
    size_t i = reinterpret_cast<size_t>(pos) - 1;
    CDocTemplate* pTemplate = i < m_templateList.size() ? m_templateList[i] : nullptr;
    pos = i + 1 < m_templateList.size() ? reinterpret_cast<POSITION>(i + 2) : nullptr;
    return pTemplate;
}

int CDocManager::GetDocumentCount()
{
    int n = 0;
    for (CDocTemplate* pTemplate : m_templateList) {
        POSITION pos = pTemplate->GetFirstDocPosition();
        while (pos) {
            pTemplate->GetNextDoc(pos);
            ++n;
        }
    }
    return n;
}

CDocument* CDocManager::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (!lpszFileName || !*lpszFileName)
        return nullptr;
    CDocTemplate* pBestTemplate = nullptr;
    CDocument* pOpenDocument = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    for (CDocTemplate* pTemplate : m_templateList) {
        CDocument* pMatch = nullptr;
        CDocTemplate::Confidence match = pTemplate->MatchDocType(lpszFileName, pMatch);
        if (match > bestMatch) {
            bestMatch = match;
            pBestTemplate = pTemplate;
        }
        if (match == CDocTemplate::yesAlreadyOpen) {
            pOpenDocument = pMatch;
            break;
        }
    }
    if (pOpenDocument) {
        POSITION pos = pOpenDocument->GetFirstViewPosition();
        if (CView* pView = pos ? pOpenDocument->GetNextView(pos) : nullptr) {
            if (CFrameWnd* pFrame = pView->GetParentFrame())
                pFrame->ActivateFrame();
        }
        return pOpenDocument;
    }
    if (!pBestTemplate) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return nullptr;
    }
    return pBestTemplate->OpenDocumentFile(lpszFileName);
}

void CDocManager::OnFileNew()
{
    if (m_templateList.empty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return;
    }
    // With one template there is nothing to choose; with several the first
    // serves (no chooser dialog is needed by this program).
    m_templateList.front()->OpenDocumentFile(nullptr);
}

BOOL CDocManager::SaveAllModified()
{
    for (CDocTemplate* pTemplate : m_templateList) {
        if (!pTemplate->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* pTemplate : m_templateList)
        pTemplate->CloseAllDocuments(bEndSession);
}

// The application's part

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager)
        m_pDocManager->OnFileNew();
}

BOOL CWinApp::SaveAllModified() { return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE; }

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    if (m_pDocManager)
        m_pDocManager->CloseAllDocuments(bEndSession);
}

void CWinApp::OnAppExit()
{
    if (HWND hWnd = AfxHwndOf(m_pMainWnd))
        ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    default:
        // Printing, DDE and registration have nothing to do here: the run ends.
        return FALSE;
    }
}

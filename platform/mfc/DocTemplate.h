// Document templates and the document manager: a template ties a document
// class, a frame class and a view class to one resource id (the document
// string, the frame's menu, accelerators and icon); the single-document
// template keeps one document and reuses it for every new or opened file.
#pragma once

#include "platform/mfc/Document.h"

#include <vector>

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    // The parts of the document string, separated by "\n".
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative,
                      yesAlreadyOpen };

    ~CDocTemplate() override;
    virtual void LoadTemplate();
    // FALSE when the part is empty or missing.
    virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
    UINT GetResourceID() const { return m_nIDResource; }

    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);

    virtual CDocument* CreateNewDocument();
    // A frame of the template's class from its resource, with a view of the
    // view class on the document; null when creation failed.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;
    // A null path makes a new document.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

    BOOL m_bAutoDelete = TRUE;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    UINT m_nIDResource;
    CString m_strDocStrings;

protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
};

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    void SetDefaultTitle(CDocument* pDocument) override;
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;

protected:
    CDocument* m_pOnlyDoc = nullptr;
};

// The application's templates; it owns and frees them.
class CDocManager : public CObject {
    DECLARE_DYNAMIC(CDocManager)
public:
    CDocManager() = default;
    ~CDocManager() override;

    virtual void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    int GetDocumentCount();
    // The template that claims the file opens it; a file already open is
    // only brought forward.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    virtual void OnFileNew();
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

protected:
    std::vector<CDocTemplate*> m_templateList;
};

// The n-th part of a text split at chSep; FALSE past the last part.
BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, TCHAR chSep = '\n');

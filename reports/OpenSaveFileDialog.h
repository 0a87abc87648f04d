// COpenSaveFileDialog: the desktop's open or save dialog for one file name.
#pragma once

#include "platform/mfc/Wnd.h"
#include "platform/win/FileDialog.h"

class COpenSaveFileDialog {
public:
    // filter: pairs of description and pattern, each ended by a zero byte,
    // the list ended by an empty string.
    COpenSaveFileDialog(BOOL bOpen, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags, LPCSTR lpszFilter,
                        CWnd* pParentWnd);
    virtual ~COpenSaveFileDialog() = default;
    COpenSaveFileDialog(const COpenSaveFileDialog&) = delete;
    COpenSaveFileDialog& operator=(const COpenSaveFileDialog&) = delete;

    // IDOK when a file was chosen, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    CString GetPathName() const { return m_szFileName; }

private:
    OPENFILENAME m_ofn{};
    BOOL m_bOpen;
    char m_szFileName[260] = {};
    char m_szFileTitle[260] = {};
};

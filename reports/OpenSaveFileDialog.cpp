#include "reports/OpenSaveFileDialog.h"

#include <cstring>

COpenSaveFileDialog::COpenSaveFileDialog(BOOL bOpen, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpen(bOpen)
{
    if (lpszFileName) {
        std::strncpy(m_szFileName, lpszFileName, sizeof m_szFileName - 1);
        m_szFileName[sizeof m_szFileName - 1] = 0;
    }
    m_ofn.lStructSize = OPENFILENAME_SIZE_FULL;
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    m_ofn.lpstrFilter = lpszFilter;
    m_ofn.lpstrDefExt = lpszDefExt;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
}

INT_PTR COpenSaveFileDialog::DoModal()
{
    BOOL chosen = m_bOpen ? ::GetOpenFileName(&m_ofn) : ::GetSaveFileName(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

#include "platform/mfc/Exception.h"

#include "platform/win/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CSimpleException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CSimpleException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CSimpleException)
IMPLEMENT_DYNAMIC(CResourceException, CSimpleException)
IMPLEMENT_DYNAMIC(CUserException, CSimpleException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)
IMPLEMENT_DYNAMIC(COleException, CException)

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CString CException::ErrorText() const { return CString(); }

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    CString text = ErrorText();
    if (lpszError && nMaxError > 0) {
        size_t n = std::min<size_t>(text.GetLength(), nMaxError - 1);
        std::memcpy(lpszError, static_cast<LPCTSTR>(text), n);
        lpszError[n] = '\0';
    }
    return !text.IsEmpty();
}

int CException::ReportError(UINT nType, UINT) const
{
    CString text = ErrorText();
    if (text.IsEmpty())
        text = "An unsupported operation was attempted.";
    return MessageBoxA(nullptr, text, nullptr, nType);
}

CString CMemoryException::ErrorText() const { return "Out of memory."; }
CString CNotSupportedException::ErrorText() const { return "An unsupported operation was attempted."; }
CString CResourceException::ErrorText() const { return "A required resource was unavailable."; }

CString CArchiveException::ErrorText() const
{
    static const char* const texts[] = {
        "No error occurred.",
        "An unknown error occurred while accessing %1.",
        "An attempt was made to write to the reading %1.",
        "An attempt was made to access %1 beyond the end of the file.",
        "An attempt was made to read from the writing %1.",
        "%1 has a bad format.",
        "%1 contained an unexpected object.",
        "%1 contains an incorrect schema.",
    };
    int cause = (m_cause >= 0 && m_cause <= badSchema) ? m_cause : genericException;
    CString text = texts[cause];
    text.Replace("%1", m_strFileName.IsEmpty() ? "an unnamed file" : static_cast<LPCTSTR>(m_strFileName));
    return text;
}

CString COleException::ErrorText() const
{
    CString text;
    text.Format("OLE error %08X.", static_cast<unsigned>(m_sc));
    return text;
}

LONG COleException::Process(const CException* pAnyException)
{
    if (const auto* ole = dynamic_cast<const COleException*>(pAnyException))
        return ole->m_sc;
    if (dynamic_cast<const CMemoryException*>(pAnyException))
        return static_cast<LONG>(0x8007000EL); // E_OUTOFMEMORY
    if (dynamic_cast<const CNotSupportedException*>(pAnyException))
        return static_cast<LONG>(0x80004001L); // E_NOTIMPL
    return static_cast<LONG>(0x80004005L); // E_FAIL
}

void AfxThrowMemoryException() { throw new CMemoryException; }
void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowResourceException() { throw new CResourceException; }
void AfxThrowUserException() { throw new CUserException; }
void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName) { throw new CArchiveException(cause, lpszArchiveName); }
void AfxThrowOleException(LONG sc) { throw new COleException(sc); }

void tavrin::mfc::ReportEscapedException(const char* where, CException* e)
{
    char text[256] = "";
    e->GetErrorMessage(text, sizeof text);
    std::fprintf(stderr, "tavrin: %s exception stopped at %s%s%s\n", e->GetRuntimeClass()->m_lpszClassName, where,
                 text[0] ? ": " : "", text);
    e->Delete();
}

void tavrin::mfc::ReportEscapedUnknown(const char* where, const char* what)
{
    std::fprintf(stderr, "tavrin: %s stopped at %s\n", what, where);
}

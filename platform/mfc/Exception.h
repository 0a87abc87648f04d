// The framework's exceptions. As in the framework they are thrown as
// pointers (`throw new CMemoryException`) and whoever catches one calls
// Delete(). Window procedures, hooks and thread entries catch every one of
// them, so none crosses into the window system.
#pragma once

#include "platform/mfc/Object.h"

class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
    // Frees an exception made with new; one that lives elsewhere stays.
    void Delete();
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
    // Shows the error text in a message box.
    virtual int ReportError(UINT nType = 0x30 /* MB_ICONEXCLAMATION */, UINT nMessageID = 0) const;

protected:
    BOOL m_bAutoDelete;
    // The text for GetErrorMessage.
    virtual CString ErrorText() const;
};

class CSimpleException : public CException {
    DECLARE_DYNAMIC(CSimpleException)
public:
    CSimpleException() = default;
};

class CMemoryException : public CSimpleException {
    DECLARE_DYNAMIC(CMemoryException)
protected:
    CString ErrorText() const override;
};

class CNotSupportedException : public CSimpleException {
    DECLARE_DYNAMIC(CNotSupportedException)
protected:
    CString ErrorText() const override;
};

class CResourceException : public CSimpleException {
    DECLARE_DYNAMIC(CResourceException)
protected:
    CString ErrorText() const override;
};

class CUserException : public CSimpleException {
    DECLARE_DYNAMIC(CUserException)
};

class CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum {
        none,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
    };
    explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = nullptr)
        : m_cause(cause), m_strFileName(lpszArchiveName ? lpszArchiveName : "")
    {
    }
    int m_cause;
    CString m_strFileName;

protected:
    CString ErrorText() const override;
};

class COleException : public CException {
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(LONG sc = 0) : m_sc(sc) {}
    LONG m_sc;
    static LONG Process(const CException* pAnyException);

protected:
    CString ErrorText() const override;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);
[[noreturn]] void AfxThrowOleException(LONG sc);

// The framework's exception macros over C++ exceptions.
#define TRY try
#define CATCH(class_name, e) catch (class_name * e)
#define AND_CATCH(class_name, e) catch (class_name * e)
#define END_CATCH
#define CATCH_ALL(e) catch (CException * e)
#define AND_CATCH_ALL(e) catch (CException * e)
#define END_CATCH_ALL
#define THROW(e) throw e
#define THROW_LAST() throw

namespace tavrin::mfc {
// Runs the call; an exception of any kind that escapes it is logged to
// standard error with the place, and the answer is `failed`. Used at every
// boundary where the framework calls program code from the window system.
template <typename Result, typename Call>
Result GuardBoundary(const char* where, Result failed, Call&& call);
void ReportEscapedException(const char* where, CException* e);
void ReportEscapedUnknown(const char* where, const char* what);
} // namespace tavrin::mfc

#include <exception>

template <typename Result, typename Call>
Result tavrin::mfc::GuardBoundary(const char* where, Result failed, Call&& call)
{
    try {
        return call();
    } catch (CException* e) {
        ReportEscapedException(where, e);
    } catch (const std::exception& e) {
        ReportEscapedUnknown(where, e.what());
    } catch (...) {
        ReportEscapedUnknown(where, "unknown exception");
    }
    return failed;
}

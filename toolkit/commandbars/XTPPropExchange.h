// Property exchange: an object describes its stored state once, as named,
// typed values with defaults and named sections; the same code stores or
// loads, through an archive or the registry.
#pragma once

#include "platform/base/Collection.h"
#include "platform/base/String.h"
#include "platform/mfc/Object.h"
#include "platform/mfc/Rect.h"

class CArchive;
class CXTPPropExchangeEnumerator;

typedef unsigned short VARTYPE;

// Value kinds: the variant numbers, plus two of the toolkit's own.
enum XTPPropKind : VARTYPE {
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_UI1 = 17,
    VT_LPSTR = 30,
    VT_EX_RECT = 100,
    VT_EX_SIZE = 101,
};

class CXTPPropExchange {
public:
    CXTPPropExchange();
    virtual ~CXTPPropExchange();
    CXTPPropExchange(const CXTPPropExchange&) = delete;
    CXTPPropExchange& operator=(const CXTPPropExchange&) = delete;

    BOOL IsLoading() const { return m_bLoading; }
    BOOL IsStoring() const { return !m_bLoading; }
    BOOL IsRootSection() const { return !m_bChildSection; }
    UINT GetSchema() const { return m_nSchema; }
    void UseDefaultOnLoad(BOOL bUseDefaultOnLoad = TRUE) { m_bUseDefaultOnLoad = bUseDefaultOnLoad; }

    // pvDefault null: no default (always stored; nothing on failure). The
    // string kinds' default: VT_BSTR a CString, VT_LPSTR a plain text.
    virtual BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault = nullptr) = 0;
    // Loading into a null *ppData allocates it with new[] (the caller frees
    // it with delete[]) and sets *pnBytes.
    virtual BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pnBytes);
    virtual BOOL ExchangeRuntimeClass(LPCTSTR pszPropName, CRuntimeClass** ppClass, CRuntimeClass* pDefaultClass);
    // Loading creates the stored class's object, only of the expected base.
    virtual BOOL ExchangeObjectInstance(CObject*& pObject, CRuntimeClass* pObjectRuntime);
    virtual CArchive* GetArchive(LPCTSTR pszPropName);
    virtual void ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive);
    // A new section; the caller deletes it before this exchange.
    virtual CXTPPropExchange* GetSection(LPCTSTR pszSection) = 0;
    virtual void EmptySection();
    virtual void WriteCount(DWORD dwCount);
    virtual DWORD ReadCount();
    virtual void Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount);
    virtual UINT Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount);
    virtual BOOL IsAllowDefaultValues() const { return TRUE; }
    virtual BOOL IsAllowBlobValues() const { return FALSE; }
    virtual BOOL OnBeforeExchange();
    // A new enumerator over the sections prefix0, prefix1...; the caller deletes it.
    virtual CXTPPropExchangeEnumerator* GetEnumerator(LPCTSTR pszSection);

    static UINT GetSizeOfVarType(VARTYPE vt);
    static BOOL IsSamePropValue(VARTYPE vtProp, const void* pv1, const void* pv2);
    static BOOL CopyPropValue(VARTYPE vtProp, void* pvDest, const void* pvSrc);

    void* m_dwData = nullptr;

protected:
    // A section takes the parent's user data, schema and flags.
    void InheritFrom(const CXTPPropExchange* pParent);

    BOOL m_bLoading = FALSE;
    UINT m_nSchema = 8;
    BOOL m_bChildSection = FALSE;
    BOOL m_bEmptySection = FALSE;
    BOOL m_bInitialized = FALSE;
    BOOL m_bUseDefaultOnLoad = TRUE;
};

// Typed exchanges; each returns what ExchangeProp returns.
BOOL PX_DWord(CXTPPropExchange* pPX, LPCTSTR pszPropName, DWORD& dwValue);
BOOL PX_Long(CXTPPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue, LONG lDefault);
BOOL PX_Int(CXTPPropExchange* pPX, LPCTSTR pszPropName, int& nValue, int nDefault);
BOOL PX_Bool(CXTPPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL PX_String(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue, LPCTSTR lpszDefault);
BOOL PX_Size(CXTPPropExchange* pPX, LPCTSTR pszPropName, CSize& szValue, CSize szDefault);
BOOL PX_Rect(CXTPPropExchange* pPX, LPCTSTR pszPropName, CRect& rcValue, CRect rcDefault);
// The object's archive serialisation under the name; FALSE when there is no
// archive or the stream is damaged.
BOOL PX_Serialize(CXTPPropExchange* pPX, LPCTSTR pszPropName, CObject* pObject);

#include "toolkit/commandbars/XTPPropExchangeArchive.h"
#include "toolkit/commandbars/XTPPropExchangeEnumerator.h"
#include "toolkit/commandbars/XTPPropExchangeRegistry.h"

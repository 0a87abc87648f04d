#include "platform/mfc/Object.h"

#include <cstring>
#include <mutex>
#include <new>

namespace {

std::mutex& ClassListLock()
{
    static std::mutex lock;
    return lock;
}

CRuntimeClass*& ClassListHead()
{
    static CRuntimeClass* head = nullptr;
    return head;
}

CRuntimeClass* NoBase() { return nullptr; }

} // namespace

CRuntimeClass* CObject::GetThisClass()
{
    static CRuntimeClass rc = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, &NoBase, nullptr};
    return &rc;
}

CRuntimeClass* CObject::GetRuntimeClass() const { return CObject::GetThisClass(); }

static const AFX_CLASSINIT _init_CObject(CObject::GetThisClass());

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    std::lock_guard<std::mutex> guard(ClassListLock());
    for (CRuntimeClass* p = ClassListHead(); p; p = p->m_pNextClass) {
        if (p == pNewClass)
            return;
    }
    pNewClass->m_pNextClass = ClassListHead();
    ClassListHead() = pNewClass;
}

CObject* CRuntimeClass::CreateObject()
{
    if (!m_pfnCreateObject)
        return nullptr;
    try {
        return m_pfnCreateObject();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    if (!pBaseClass)
        return FALSE;
    for (const CRuntimeClass* p = this; p; p = p->GetBaseClass()) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    std::lock_guard<std::mutex> guard(ClassListLock());
    for (CRuntimeClass* p = ClassListHead(); p; p = p->m_pNextClass) {
        if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0)
            return p;
    }
    return nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR lpszClassName)
{
    CRuntimeClass* p = FromName(lpszClassName);
    return p ? p->CreateObject() : nullptr;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

void CObject::Serialize(CArchive&) {}

CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject)
{
    return pObject && pObject->IsKindOf(pClass) ? pObject : nullptr;
}

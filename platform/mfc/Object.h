// The root of the framework's classes: run-time class records, dynamic
// creation by class and by name, and kind tests along the base chain.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

class CObject;
class CArchive;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema; // 0xFFFF for classes that are not serial
    CObject* (*m_pfnCreateObject)(); // null when not creatable
    CRuntimeClass* (*m_pfnGetBaseClass)();
    CRuntimeClass* m_pNextClass; // the list of registered classes

    // A new object of this class; null when the class is not creatable or
    // construction failed.
    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    CRuntimeClass* GetBaseClass() const { return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr; }

    // Registered classes by name (case-sensitive, as the framework's).
    static CRuntimeClass* FromName(LPCSTR lpszClassName);
    static CObject* CreateObject(LPCSTR lpszClassName);
};

// Registers a class for FromName; one static instance per implemented class.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                                                               \
public:                                                                                                           \
    static CRuntimeClass* GetThisClass();                                                                         \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                                             \
    DECLARE_DYNAMIC(class_name)                                                                                   \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name)                                                                                \
    DECLARE_DYNCREATE(class_name)                                                                                 \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                                  \
    CRuntimeClass* class_name::GetThisClass()                                                                     \
    {                                                                                                             \
        static CRuntimeClass rc = {#class_name,        static_cast<int>(sizeof(class_name)),                      \
                                   (wSchema),          (pfnNew),                                                  \
                                   &base_class_name::GetThisClass, nullptr};                                      \
        return &rc;                                                                                               \
    }                                                                                                             \
    CRuntimeClass* class_name::GetRuntimeClass() const { return class_name::GetThisClass(); }                     \
    static const AFX_CLASSINIT _init_##class_name(class_name::GetThisClass());

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                                            \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                                          \
    CObject* class_name::CreateObject() { return new class_name; }                                                \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, &class_name::CreateObject)

// Reading a serial object by pointer needs the archive of the framework's
// documents; the operator is defined with it.
#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                                    \
    CObject* class_name::CreateObject() { return new class_name; }                                                \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, &class_name::CreateObject)                   \
    CArchive& operator>>(CArchive& ar, class_name*& pOb)                                                          \
    {                                                                                                             \
        pOb = static_cast<class_name*>(AfxReadObjectFromArchive(ar, RUNTIME_CLASS(class_name)));                  \
        return ar;                                                                                                \
    }

// Defined with the archive; declared here for IMPLEMENT_SERIAL.
CObject* AfxReadObjectFromArchive(CArchive& ar, CRuntimeClass* pClassRequested);

class CObject {
public:
    static CRuntimeClass* GetThisClass();
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const {}

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// The kind test as a checked downcast: null when the object is not of the class.
#define DYNAMIC_DOWNCAST(class_name, object) (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), (object))))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject);

// Run-time class information: CRuntimeClass, the DECLARE_/IMPLEMENT_DYNAMIC
// and DYNCREATE macros, RUNTIME_CLASS and CObject::IsKindOf.
//
// A class record reaches its base through a function rather than a pointer
// to the base's record, so a class in one module can derive from a class
// whose record lives in framework.dll (imported data has no constant
// address at link time).
#pragma once

#include "Defs.h"

struct FW_API CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema; // 0xFFFF: not serialisable
    CObject* (*m_pfnCreateObject)(); // null unless DECLARE_DYNCREATE
    CRuntimeClass* (*m_pfnGetBaseClass)(); // null for CObject

    // This class, or a class derived from it, is `base`.
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
    CRuntimeClass* GetBaseClass() const { return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr; }
    // A new object of the class (DECLARE_DYNCREATE); null for the others.
    CObject* CreateObject() const;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static CRuntimeClass* PASCAL GetThisClass();                                                   \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                              \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* PASCAL CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                            \
    CRuntimeClass* PASCAL class_name::GetThisClass() {                                             \
        static CRuntimeClass rc = {#class_name, static_cast<int>(sizeof(class_name)), 0xFFFF,      \
                                   pfnNew, &base_class_name::GetThisClass};                        \
        return &rc;                                                                                \
    }                                                                                              \
    CRuntimeClass* class_name::GetRuntimeClass() const { return class_name::GetThisClass(); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    CObject* PASCAL class_name::CreateObject() { return new class_name; }                          \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)

// GDI objects: owned handles and the thread's temporary wrappers.
#include "Internal.h"

CGdiObject::~CGdiObject() {
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) {
    return FromHandleOfKind(object, 0, [] { return new CGdiObject; });
}

CGdiObject* CGdiObject::FromHandleOfKind(HGDIOBJ object, int kind, CGdiObject* (*make)()) {
    if (!object) return nullptr;
    AfxThreadState* ts = AfxGetThreadState();
    CGdiObject*& temp = ts->tempGdiObjects[{object, kind}];
    if (!temp) {
        temp = make();
        temp->m_hObject = object;
    }
    return temp;
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (!object || m_hObject) return FALSE;
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int count, LPVOID buffer) const {
    return m_hObject ? ::GetObjectW(m_hObject, count, buffer) : 0;
}

UINT CGdiObject::GetObjectType() const {
    return m_hObject ? ::GetObjectType(m_hObject) : 0;
}

BOOL CGdiObject::CreateStockObject(int index) {
    return Attach(::GetStockObject(index));
}

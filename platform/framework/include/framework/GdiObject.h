// CGdiObject: a GDI object handle that the object owns and deletes, or a
// temporary wrapper of a foreign handle (FromHandle) that never deletes it.
// The kinds of object (CFont, ...) derive from it and add no data.
#pragma once

#include "CmdTarget.h"

class FW_API CGdiObject : public CObject {
public:
    CGdiObject() = default;
    ~CGdiObject() override; // deletes the handle it holds

    // A temporary object for a handle, owned by the calling thread's
    // temporary map and deleted (not the handle) by AfxUnlockTempMaps.
    static CGdiObject* FromHandle(HGDIOBJ object);

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }

    // FALSE for a null handle or when the object already holds one.
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    // Deletes the handle; FALSE when there is none or GDI refuses.
    BOOL DeleteObject();
    // Fills `buffer` with the object's description (LOGFONTW, LOGBRUSH, ...);
    // bytes written, 0 on failure.
    int GetObject(int count, LPVOID buffer) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int index);

    HGDIOBJ m_hObject = nullptr;

protected:
    // A temporary object of the caller's kind for `object`: one per handle
    // and kind, so CFont::FromHandle always answers a CFont.
    static CGdiObject* FromHandleOfKind(HGDIOBJ object, int kind, CGdiObject* (*make)());
};

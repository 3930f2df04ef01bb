// CObList: a list of objects, with the positions and block allocation of
// CPtrList, which holds its elements.
#pragma once

#include "Collections.h"
#include "CmdTarget.h"

class CObList : public CObject {
public:
    explicit CObList(INT_PTR nBlockSize = 10) : m_list(nBlockSize) {}

    INT_PTR GetCount() const { return m_list.GetCount(); }
    INT_PTR GetSize() const { return m_list.GetSize(); }
    BOOL IsEmpty() const { return m_list.IsEmpty(); }

    CObject* GetHead() const { return Ob(m_list.GetHead()); }
    CObject* GetTail() const { return Ob(m_list.GetTail()); }
    POSITION AddHead(CObject* element) { return m_list.AddHead(element); }
    POSITION AddTail(CObject* element) { return m_list.AddTail(element); }
    CObject* RemoveHead() { return Ob(m_list.RemoveHead()); }
    CObject* RemoveTail() { return Ob(m_list.RemoveTail()); }
    void RemoveAll() { m_list.RemoveAll(); }

    POSITION GetHeadPosition() const { return m_list.GetHeadPosition(); }
    POSITION GetTailPosition() const { return m_list.GetTailPosition(); }
    CObject* GetNext(POSITION& pos) const { return Ob(m_list.GetNext(pos)); }
    CObject* GetPrev(POSITION& pos) const { return Ob(m_list.GetPrev(pos)); }
    CObject* GetAt(POSITION pos) const { return Ob(m_list.GetAt(pos)); }
    void SetAt(POSITION pos, CObject* element) { m_list.SetAt(pos, element); }
    void RemoveAt(POSITION pos) { m_list.RemoveAt(pos); }
    POSITION InsertBefore(POSITION pos, CObject* element) { return m_list.InsertBefore(pos, element); }
    POSITION InsertAfter(POSITION pos, CObject* element) { return m_list.InsertAfter(pos, element); }
    POSITION Find(CObject* value, POSITION startAfter = nullptr) const {
        return m_list.Find(value, startAfter);
    }
    POSITION FindIndex(INT_PTR index) const { return m_list.FindIndex(index); }

private:
    static CObject* Ob(void* p) { return static_cast<CObject*>(p); }
    CPtrList m_list;
};

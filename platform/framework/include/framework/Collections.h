// Collections. CPtrList: a doubly linked list of untyped pointers whose nodes
// are allocated in blocks (nBlockSize nodes per allocation) and reused; the
// blocks are freed when the list becomes empty.
#pragma once

#include "Defs.h"

// An opaque place in a list; null is "no position".
struct __POSITION {};
typedef __POSITION* POSITION;

class FW_API CPtrList {
public:
    explicit CPtrList(INT_PTR nBlockSize = 10);
    ~CPtrList();
    CPtrList(const CPtrList&) = delete;
    CPtrList& operator=(const CPtrList&) = delete;

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // Head and tail; null for an empty list.
    void* GetHead() const;
    void* GetTail() const;
    POSITION AddHead(void* element);
    POSITION AddTail(void* element);
    // Remove and return the head or tail; null (and nothing removed) when empty.
    void* RemoveHead();
    void* RemoveTail();
    void RemoveAll();

    // Iteration: GetNext/GetPrev return the element at `pos` and move `pos`
    // on (to null past the end). `pos` must be a position of this list.
    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    void* GetNext(POSITION& pos) const;
    void* GetPrev(POSITION& pos) const;
    void* GetAt(POSITION pos) const;
    void SetAt(POSITION pos, void* element);
    void RemoveAt(POSITION pos);
    POSITION InsertBefore(POSITION pos, void* element); // null pos: at the head
    POSITION InsertAfter(POSITION pos, void* element);  // null pos: at the tail

    // The first position holding `value` after `startAfter` (null: from the
    // head); null when there is none.
    POSITION Find(void* value, POSITION startAfter = nullptr) const;
    // The position of the index-th element (from 0); null when out of range.
    POSITION FindIndex(INT_PTR index) const;

private:
    struct CNode;
    CNode* NewNode(CNode* prev, CNode* next);
    void FreeNode(CNode* node);

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    INT_PTR m_nCount = 0;
    CNode* m_pNodeFree = nullptr;
    void* m_pBlocks = nullptr; // chain of allocated blocks
    INT_PTR m_nBlockSize;
};

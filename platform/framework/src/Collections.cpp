// CPtrList: nodes come from blocks of m_nBlockSize nodes kept on a free list.
#include "Internal.h"

#include <new>

struct CPtrList::CNode {
    CNode* pNext;
    CNode* pPrev;
    void* data;
};

namespace {
// A block: the link to the next block, then the nodes.
struct Block {
    Block* next;
};
} // namespace

CPtrList::CPtrList(INT_PTR nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CPtrList::~CPtrList() {
    RemoveAll();
}

CPtrList::CNode* CPtrList::NewNode(CNode* prev, CNode* next) {
    if (!m_pNodeFree) {
        std::size_t bytes = sizeof(CNode) * static_cast<std::size_t>(m_nBlockSize) + sizeof(CNode);
        auto* raw = static_cast<unsigned char*>(::operator new(bytes));
        auto* block = reinterpret_cast<Block*>(raw);
        block->next = static_cast<Block*>(m_pBlocks);
        m_pBlocks = block;
        // The first node slot holds the block link; the rest go on the free list.
        auto* nodes = reinterpret_cast<CNode*>(raw) + 1;
        for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i) {
            nodes[i].pNext = m_pNodeFree;
            m_pNodeFree = &nodes[i];
        }
    }
    CNode* node = m_pNodeFree;
    m_pNodeFree = node->pNext;
    node->pPrev = prev;
    node->pNext = next;
    node->data = nullptr;
    ++m_nCount;
    return node;
}

void CPtrList::FreeNode(CNode* node) {
    node->pNext = m_pNodeFree;
    m_pNodeFree = node;
    if (--m_nCount == 0) RemoveAll();
}

void CPtrList::RemoveAll() {
    m_nCount = 0;
    m_pNodeHead = m_pNodeTail = m_pNodeFree = nullptr;
    for (auto* block = static_cast<Block*>(m_pBlocks); block;) {
        Block* next = block->next;
        ::operator delete(block);
        block = next;
    }
    m_pBlocks = nullptr;
}

void* CPtrList::GetHead() const {
    return m_pNodeHead ? m_pNodeHead->data : nullptr;
}

void* CPtrList::GetTail() const {
    return m_pNodeTail ? m_pNodeTail->data : nullptr;
}

POSITION CPtrList::AddHead(void* element) {
    CNode* node = NewNode(nullptr, m_pNodeHead);
    node->data = element;
    if (m_pNodeHead)
        m_pNodeHead->pPrev = node;
    else
        m_pNodeTail = node;
    m_pNodeHead = node;
    return reinterpret_cast<POSITION>(node);
}

POSITION CPtrList::AddTail(void* element) {
    CNode* node = NewNode(m_pNodeTail, nullptr);
    node->data = element;
    if (m_pNodeTail)
        m_pNodeTail->pNext = node;
    else
        m_pNodeHead = node;
    m_pNodeTail = node;
    return reinterpret_cast<POSITION>(node);
}

void* CPtrList::RemoveHead() {
    if (!m_pNodeHead) return nullptr;
    void* element = m_pNodeHead->data;
    RemoveAt(reinterpret_cast<POSITION>(m_pNodeHead));
    return element;
}

void* CPtrList::RemoveTail() {
    if (!m_pNodeTail) return nullptr;
    void* element = m_pNodeTail->data;
    RemoveAt(reinterpret_cast<POSITION>(m_pNodeTail));
    return element;
}

POSITION CPtrList::GetHeadPosition() const {
    return reinterpret_cast<POSITION>(m_pNodeHead);
}

POSITION CPtrList::GetTailPosition() const {
    return reinterpret_cast<POSITION>(m_pNodeTail);
}

void* CPtrList::GetNext(POSITION& pos) const {
    CNode* node = reinterpret_cast<CNode*>(pos);
    pos = reinterpret_cast<POSITION>(node->pNext);
    return node->data;
}

void* CPtrList::GetPrev(POSITION& pos) const {
    CNode* node = reinterpret_cast<CNode*>(pos);
    pos = reinterpret_cast<POSITION>(node->pPrev);
    return node->data;
}

void* CPtrList::GetAt(POSITION pos) const {
    return reinterpret_cast<CNode*>(pos)->data;
}

void CPtrList::SetAt(POSITION pos, void* element) {
    reinterpret_cast<CNode*>(pos)->data = element;
}

void CPtrList::RemoveAt(POSITION pos) {
    CNode* node = reinterpret_cast<CNode*>(pos);
    if (node->pPrev)
        node->pPrev->pNext = node->pNext;
    else
        m_pNodeHead = node->pNext;
    if (node->pNext)
        node->pNext->pPrev = node->pPrev;
    else
        m_pNodeTail = node->pPrev;
    FreeNode(node);
}

POSITION CPtrList::InsertBefore(POSITION pos, void* element) {
    if (!pos) return AddHead(element);
    CNode* old = reinterpret_cast<CNode*>(pos);
    CNode* node = NewNode(old->pPrev, old);
    node->data = element;
    if (old->pPrev)
        old->pPrev->pNext = node;
    else
        m_pNodeHead = node;
    old->pPrev = node;
    return reinterpret_cast<POSITION>(node);
}

POSITION CPtrList::InsertAfter(POSITION pos, void* element) {
    if (!pos) return AddTail(element);
    CNode* old = reinterpret_cast<CNode*>(pos);
    CNode* node = NewNode(old, old->pNext);
    node->data = element;
    if (old->pNext)
        old->pNext->pPrev = node;
    else
        m_pNodeTail = node;
    old->pNext = node;
    return reinterpret_cast<POSITION>(node);
}

POSITION CPtrList::Find(void* value, POSITION startAfter) const {
    CNode* node = startAfter ? reinterpret_cast<CNode*>(startAfter)->pNext : m_pNodeHead;
    for (; node; node = node->pNext)
        if (node->data == value) return reinterpret_cast<POSITION>(node);
    return nullptr;
}

POSITION CPtrList::FindIndex(INT_PTR index) const {
    if (index < 0 || index >= m_nCount) return nullptr;
    CNode* node = m_pNodeHead;
    while (index-- > 0)
        node = node->pNext;
    return reinterpret_cast<POSITION>(node);
}

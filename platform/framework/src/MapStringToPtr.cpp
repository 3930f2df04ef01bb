// CMapStringToPtr: chained hash buckets, one node per association.
#include "Internal.h"

#include <cstdlib>

struct CMapStringToPtr::CAssoc {
    CAssoc* pNext;
    UINT nHash;
    CString key;
    void* value;
};

CMapStringToPtr::CMapStringToPtr(INT_PTR) {}

CMapStringToPtr::~CMapStringToPtr() {
    RemoveAll();
}

UINT CMapStringToPtr::HashKey(LPCWSTR key) {
    UINT hash = 0;
    while (key && *key)
        hash = (hash << 5) + hash + static_cast<UINT>(*key++);
    return hash;
}

void CMapStringToPtr::InitHashTable(UINT hashSize, BOOL allocNow) {
    if (m_nCount != 0 || hashSize == 0) return;
    std::free(m_pHashTable);
    m_pHashTable = nullptr;
    m_nHashTableSize = hashSize;
    if (allocNow) {
        m_pHashTable = static_cast<CAssoc**>(std::calloc(hashSize, sizeof(CAssoc*)));
        if (!m_pHashTable) std::abort();
    }
}

CMapStringToPtr::CAssoc* CMapStringToPtr::Find(LPCWSTR key, UINT& bucket) const {
    UINT hash = HashKey(key);
    bucket = hash % m_nHashTableSize;
    if (!m_pHashTable) return nullptr;
    for (CAssoc* assoc = m_pHashTable[bucket]; assoc; assoc = assoc->pNext)
        if (assoc->nHash == hash && assoc->key == (key ? key : L"")) return assoc;
    return nullptr;
}

BOOL CMapStringToPtr::Lookup(LPCWSTR key, void*& value) const {
    UINT bucket;
    CAssoc* assoc = Find(key, bucket);
    if (!assoc) return FALSE;
    value = assoc->value;
    return TRUE;
}

void*& CMapStringToPtr::operator[](LPCWSTR key) {
    UINT bucket;
    if (CAssoc* assoc = Find(key, bucket)) return assoc->value;
    if (!m_pHashTable) InitHashTable(m_nHashTableSize, TRUE);
    auto* assoc = new CAssoc{m_pHashTable[bucket], HashKey(key), CString(key ? key : L""), nullptr};
    m_pHashTable[bucket] = assoc;
    ++m_nCount;
    return assoc->value;
}

BOOL CMapStringToPtr::RemoveKey(LPCWSTR key) {
    if (!m_pHashTable) return FALSE;
    UINT hash = HashKey(key);
    for (CAssoc** link = &m_pHashTable[hash % m_nHashTableSize]; *link; link = &(*link)->pNext) {
        CAssoc* assoc = *link;
        if (assoc->nHash == hash && assoc->key == (key ? key : L"")) {
            *link = assoc->pNext;
            delete assoc;
            --m_nCount;
            return TRUE;
        }
    }
    return FALSE;
}

void CMapStringToPtr::RemoveAll() {
    if (m_pHashTable)
        for (UINT i = 0; i < m_nHashTableSize; ++i)
            for (CAssoc* assoc = m_pHashTable[i]; assoc;) {
                CAssoc* next = assoc->pNext;
                delete assoc;
                assoc = next;
            }
    std::free(m_pHashTable);
    m_pHashTable = nullptr;
    m_nCount = 0;
}

POSITION CMapStringToPtr::GetStartPosition() const {
    if (!m_pHashTable) return nullptr;
    for (UINT i = 0; i < m_nHashTableSize; ++i)
        if (m_pHashTable[i]) return reinterpret_cast<POSITION>(m_pHashTable[i]);
    return nullptr;
}

void CMapStringToPtr::GetNextAssoc(POSITION& pos, CString& key, void*& value) const {
    auto* assoc = reinterpret_cast<CAssoc*>(pos);
    key = assoc->key;
    value = assoc->value;
    CAssoc* next = assoc->pNext;
    for (UINT i = assoc->nHash % m_nHashTableSize + 1; !next && i < m_nHashTableSize; ++i)
        next = m_pHashTable[i];
    pos = reinterpret_cast<POSITION>(next);
}

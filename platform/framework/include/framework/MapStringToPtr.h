// CMapStringToPtr: a hash table from strings (compared exactly) to untyped
// pointers. Iteration order is the table's, not the order of insertion.
#pragma once

#include "Collections.h"
#include "String.h"

class FW_API CMapStringToPtr : public CObject {
public:
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10);
    ~CMapStringToPtr() override;

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(LPCWSTR key, void*& value) const;
    void SetAt(LPCWSTR key, void* value) { (*this)[key] = value; }
    // The value of `key`, entered as null when absent.
    void*& operator[](LPCWSTR key);
    BOOL RemoveKey(LPCWSTR key);
    void RemoveAll();

    POSITION GetStartPosition() const; // null when empty
    void GetNextAssoc(POSITION& pos, CString& key, void*& value) const;

    // Sets the bucket count; only while the map is empty.
    void InitHashTable(UINT hashSize, BOOL allocNow = TRUE);
    UINT GetHashTableSize() const { return m_nHashTableSize; }

private:
    struct CAssoc;
    static UINT HashKey(LPCWSTR key);
    CAssoc* Find(LPCWSTR key, UINT& bucket) const;

    CAssoc** m_pHashTable = nullptr;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
};

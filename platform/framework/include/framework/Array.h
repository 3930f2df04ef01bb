// CArray<TYPE, ARG_TYPE>: a growable array of elements constructed in place,
// and CPtrArray, the array of untyped pointers. Elements are moved when the
// array grows, so pointers into it are valid only until the next growth.
// Running out of memory ends the process, as for strings: nothing is thrown.
#pragma once

#include "CmdTarget.h"

#include <cstdlib>
#include <new>
#include <utility>

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject {
public:
    CArray() = default;
    ~CArray() override { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }
    BOOL IsEmpty() const { return m_nSize == 0; }

    // New elements are value-initialised; `growBy` (when not -1) is how many
    // elements a growth adds at least.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
        if (growBy >= 0) m_nGrowBy = growBy;
        if (newSize < 0) newSize = 0;
        if (newSize > m_nMaxSize) Reserve(Grown(newSize));
        for (INT_PTR i = m_nSize; i < newSize; ++i)
            new (&m_pData[i]) TYPE();
        for (INT_PTR i = newSize; i < m_nSize; ++i)
            m_pData[i].~TYPE();
        m_nSize = newSize;
        if (m_nSize == 0) FreeExtra();
    }
    void FreeExtra() {
        if (m_nMaxSize > m_nSize) Reserve(m_nSize);
    }
    void RemoveAll() { SetSize(0); }

    const TYPE& GetAt(INT_PTR i) const { return m_pData[i]; }
    TYPE& GetAt(INT_PTR i) { return m_pData[i]; }
    void SetAt(INT_PTR i, ARG_TYPE element) { m_pData[i] = element; }
    TYPE& ElementAt(INT_PTR i) { return m_pData[i]; }
    const TYPE& ElementAt(INT_PTR i) const { return m_pData[i]; }
    const TYPE& operator[](INT_PTR i) const { return m_pData[i]; }
    TYPE& operator[](INT_PTR i) { return m_pData[i]; }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(INT_PTR i, ARG_TYPE element) {
        TYPE copy(element); // `element` may live in this array
        if (i >= m_nSize) SetSize(i + 1);
        m_pData[i] = std::move(copy);
    }
    INT_PTR Add(ARG_TYPE element) {
        INT_PTR index = m_nSize;
        SetAtGrow(index, element);
        return index;
    }
    INT_PTR Append(const CArray& other) {
        INT_PTR start = m_nSize;
        for (INT_PTR i = 0; i < other.m_nSize; ++i)
            Add(other.m_pData[i]);
        return start;
    }
    void Copy(const CArray& other) {
        if (&other == this) return;
        RemoveAll();
        Append(other);
    }
    // Inserts `count` copies of `element` before index `i` (past the end: the
    // gap up to `i` is filled with new elements).
    void InsertAt(INT_PTR i, ARG_TYPE element, INT_PTR count = 1) {
        if (count <= 0) return;
        TYPE copy(element);
        if (i >= m_nSize) {
            SetSize(i + count);
        } else {
            INT_PTR old = m_nSize;
            SetSize(m_nSize + count);
            for (INT_PTR k = old - 1; k >= i; --k)
                m_pData[k + count] = std::move(m_pData[k]);
        }
        for (INT_PTR k = i; k < i + count; ++k)
            m_pData[k] = copy;
    }
    void InsertAt(INT_PTR start, const CArray* other) {
        if (!other || other == this) return;
        for (INT_PTR k = 0; k < other->m_nSize; ++k)
            InsertAt(start + k, other->m_pData[k]);
    }
    void RemoveAt(INT_PTR i, INT_PTR count = 1) {
        if (i < 0 || count <= 0 || i >= m_nSize) return;
        if (count > m_nSize - i) count = m_nSize - i;
        for (INT_PTR k = i; k + count < m_nSize; ++k)
            m_pData[k] = std::move(m_pData[k + count]);
        SetSize(m_nSize - count);
    }

private:
    INT_PTR Grown(INT_PTR needed) const {
        INT_PTR grow = m_nGrowBy > 0 ? m_nGrowBy : (m_nSize / 8 < 4 ? 4 : m_nSize / 8);
        return needed < m_nMaxSize + grow ? m_nMaxSize + grow : needed;
    }
    void Reserve(INT_PTR capacity) {
        TYPE* data = nullptr;
        if (capacity > 0) {
            data = static_cast<TYPE*>(std::malloc(static_cast<size_t>(capacity) * sizeof(TYPE)));
            if (!data) std::abort();
            for (INT_PTR i = 0; i < m_nSize; ++i) {
                new (&data[i]) TYPE(std::move(m_pData[i]));
                m_pData[i].~TYPE();
            }
        }
        std::free(m_pData);
        m_pData = data;
        m_nMaxSize = capacity;
    }

    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

class CPtrArray : public CArray<void*, void*> {};

// Dynamic arrays with openNURBS's interface.
//
// ON_SimpleArray<T> holds plain values (trivially copyable: points, faces, ints,
// pointers) and moves them with onrealloc. ON_ClassArray<T> holds objects with
// value semantics: elements are copied with their copy constructor and
// destroyed with their destructor, so copying the array copies every element.
// Indexes are int, as in openNURBS; an out-of-range At() gives nullptr.
#pragma once

#include "opennurbs_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

// What both arrays share: the storage, public as in openNURBS (the reader
// fills buffers directly), and element access.
template <class T> class ON_ArrayBase {
public:
    int Count() const { return m_count; }
    unsigned int UnsignedCount() const { return (unsigned int)m_count; }
    int Capacity() const { return m_capacity; }

    T& operator[](int i) { return m_a[i]; }
    const T& operator[](int i) const { return m_a[i]; }
    T& operator[](unsigned int i) { return m_a[i]; }
    const T& operator[](unsigned int i) const { return m_a[i]; }
    T& operator[](size_t i) { return m_a[i]; }
    const T& operator[](size_t i) const { return m_a[i]; }

    T* At(int i) { return (i >= 0 && i < m_count) ? m_a + i : nullptr; }
    const T* At(int i) const { return (i >= 0 && i < m_count) ? m_a + i : nullptr; }
    T* Array() { return m_a; }
    const T* Array() const { return m_a; }
    T* First() { return m_count > 0 ? m_a : nullptr; }
    const T* First() const { return m_count > 0 ? m_a : nullptr; }
    T* Last() { return m_count > 0 ? m_a + (m_count - 1) : nullptr; }
    const T* Last() const { return m_count > 0 ? m_a + (m_count - 1) : nullptr; }

    void Reverse() {
        for (int i = 0, j = m_count - 1; i < j; i++, j--)
            std::swap(m_a[i], m_a[j]);
    }

    T* m_a = nullptr;
    int m_count = 0;
    int m_capacity = 0;

protected:
    ON_ArrayBase() = default;
    ON_ArrayBase(const ON_ArrayBase&) = default;
    ON_ArrayBase& operator=(const ON_ArrayBase&) = default;
    ~ON_ArrayBase() = default;
    // Takes src's storage, leaving src empty; this holds none.
    void TakeFrom(ON_ArrayBase& src) noexcept {
        m_a = src.m_a;
        m_count = src.m_count;
        m_capacity = src.m_capacity;
        src.m_a = nullptr;
        src.m_count = src.m_capacity = 0;
    }
};

template <class T> class ON_SimpleArray : public ON_ArrayBase<T> {
    static_assert(std::is_trivially_copyable<T>::value,
                  "ON_SimpleArray holds trivially copyable values; use ON_ClassArray");

public:
    using ON_ArrayBase<T>::m_a;
    using ON_ArrayBase<T>::m_count;
    using ON_ArrayBase<T>::m_capacity;

    ON_SimpleArray() = default;
    explicit ON_SimpleArray(size_t initial_capacity) { Reserve(initial_capacity); }
    ON_SimpleArray(const ON_SimpleArray& src) { *this = src; }
    ON_SimpleArray(ON_SimpleArray&& src) noexcept { this->TakeFrom(src); }
    ~ON_SimpleArray() { Destroy(); }

    ON_SimpleArray& operator=(const ON_SimpleArray& src) {
        if (this != &src) {
            m_count = 0;
            if (src.m_count > m_capacity) SetCapacity(src.m_count);
            if (src.m_count > 0)
                std::memcpy((void*)m_a, (const void*)src.m_a, sizeof(T) * src.m_count);
            m_count = src.m_count;
        }
        return *this;
    }
    ON_SimpleArray& operator=(ON_SimpleArray&& src) noexcept {
        if (this != &src) {
            Destroy();
            this->TakeFrom(src);
        }
        return *this;
    }

    size_t SizeOfArray() const { return (size_t)m_capacity * sizeof(T); }

    // A new element at the end, value-initialised (zero for plain types).
    T& AppendNew() {
        if (m_count == m_capacity) Grow(m_count + 1);
        new (&m_a[m_count]) T();
        return m_a[m_count++];
    }
    void Append(const T& x) {
        if (m_count == m_capacity) {
            const T copy = x; // x may live in this array
            Grow(m_count + 1);
            m_a[m_count++] = copy;
        } else {
            m_a[m_count++] = x;
        }
    }
    void Append(int count, const T* p) {
        if (count <= 0 || !p) return;
        if (m_count + count > m_capacity) {
            // p may point into this array: copy through a temporary.
            ON_SimpleArray tmp;
            tmp.SetCapacity(count);
            std::memcpy((void*)tmp.m_a, (const void*)p, sizeof(T) * count);
            Grow(m_count + count);
            std::memcpy((void*)(m_a + m_count), (const void*)tmp.m_a, sizeof(T) * count);
        } else {
            std::memmove((void*)(m_a + m_count), (const void*)p, sizeof(T) * count);
        }
        m_count += count;
    }
    void Insert(int i, const T& x) {
        if (i < 0 || i > m_count) return;
        const T copy = x;
        if (m_count == m_capacity) Grow(m_count + 1);
        if (i < m_count)
            std::memmove((void*)(m_a + i + 1), (const void*)(m_a + i), sizeof(T) * (m_count - i));
        m_a[i] = copy;
        m_count++;
    }
    // Removes the last element.
    void Remove() {
        if (m_count > 0) m_count--;
    }
    void Remove(int i) {
        if (i < 0 || i >= m_count) return;
        if (i < m_count - 1)
            std::memmove((void*)(m_a + i), (const void*)(m_a + i + 1),
                         sizeof(T) * (m_count - 1 - i));
        m_count--;
    }
    // Count becomes 0; the memory is kept.
    void Empty() { m_count = 0; }
    // Count and capacity become 0; the memory is freed.
    void Destroy() {
        onfree((void*)m_a);
        m_a = nullptr;
        m_count = m_capacity = 0;
    }
    void Zero() {
        if (m_a && m_capacity > 0) std::memset((void*)m_a, 0, sizeof(T) * m_capacity);
    }
    void Swap(int i, int j) {
        if (i >= 0 && j >= 0 && i < m_count && j < m_count) std::swap(m_a[i], m_a[j]);
    }
    // Capacity at least n; never shrinks.
    T* Reserve(size_t n) {
        if ((int)n > m_capacity) SetCapacity((int)n);
        return m_a;
    }
    // Exact capacity; elements past it are dropped.
    void SetCapacity(int n) {
        if (n <= 0) {
            Destroy();
            return;
        }
        if (n == m_capacity) return;
        T* p = (T*)onrealloc((void*)m_a, sizeof(T) * (size_t)n);
        if (!p) throw std::bad_alloc();
        m_a = p;
        m_capacity = n;
        if (m_count > n) m_count = n;
    }
    // New elements (past the old count) are value-initialised.
    void SetCount(int n) {
        if (n < 0) n = 0;
        if (n > m_capacity) SetCapacity(n);
        for (int i = m_count; i < n; i++)
            new (&m_a[i]) T();
        m_count = n;
    }
    // Frees the unused tail of the buffer.
    void Shrink() { SetCapacity(m_count); }
    // Gives up the buffer to the caller, who frees it with onfree().
    T* KeepArray() {
        T* p = m_a;
        m_a = nullptr;
        m_count = m_capacity = 0;
        return p;
    }
    void QuickSort(int (*compare)(const T*, const T*)) {
        if (m_count > 1)
            std::qsort((void*)m_a, (size_t)m_count, sizeof(T),
                       (int (*)(const void*, const void*))compare);
    }
    int Search(const T& key) const {
        for (int i = 0; i < m_count; i++)
            if (std::memcmp((const void*)&m_a[i], (const void*)&key, sizeof(T)) == 0) return i;
        return -1;
    }

private:
    // Doubling up to 128 MB of elements, then growth in 128 MB steps, so a
    // huge mesh does not hold twice its size in spare capacity.
    void Grow(int needed) {
        const size_t step_limit = (size_t)128 * 1024 * 1024 / sizeof(T);
        size_t cap = m_capacity < 4 ? 4 : (size_t)m_capacity;
        while ((int)cap < needed)
            cap = cap < step_limit ? cap * 2 : cap + step_limit;
        if (cap > 0x7FFFFFFF) cap = 0x7FFFFFFF;
        SetCapacity((int)cap);
    }
};

template <class T> class ON_ClassArray : public ON_ArrayBase<T> {
public:
    using ON_ArrayBase<T>::m_a;
    using ON_ArrayBase<T>::m_count;
    using ON_ArrayBase<T>::m_capacity;

    ON_ClassArray() = default;
    explicit ON_ClassArray(size_t initial_capacity) { Reserve(initial_capacity); }
    ON_ClassArray(const ON_ClassArray& src) { *this = src; }
    ON_ClassArray(ON_ClassArray&& src) noexcept { this->TakeFrom(src); }
    virtual ~ON_ClassArray() { Destroy(); }

    ON_ClassArray& operator=(const ON_ClassArray& src) {
        if (this != &src) {
            Destroy();
            if (src.m_count > 0) {
                SetCapacity(src.m_count);
                for (int i = 0; i < src.m_count; i++) {
                    new (&m_a[i]) T(src.m_a[i]);
                    m_count = i + 1;
                }
            }
        }
        return *this;
    }
    ON_ClassArray& operator=(ON_ClassArray&& src) noexcept {
        if (this != &src) {
            Destroy();
            this->TakeFrom(src);
        }
        return *this;
    }

    // A new default-constructed element at the end.
    T& AppendNew() {
        if (m_count == m_capacity) Grow(m_count + 1);
        new (&m_a[m_count]) T();
        return m_a[m_count++];
    }
    void Append(const T& x) {
        if (m_count == m_capacity) {
            T copy(x); // x may live in this array
            Grow(m_count + 1);
            new (&m_a[m_count]) T(std::move(copy));
        } else {
            new (&m_a[m_count]) T(x);
        }
        m_count++;
    }
    void Append(int count, const T* p) {
        if (count <= 0 || !p) return;
        ON_ClassArray tmp; // p may point into this array
        tmp.Reserve(count);
        for (int i = 0; i < count; i++)
            tmp.Append(p[i]);
        Reserve(m_count + count);
        for (int i = 0; i < count; i++) {
            new (&m_a[m_count]) T(std::move(tmp.m_a[i]));
            m_count++;
        }
    }
    void Insert(int i, const T& x) {
        if (i < 0 || i > m_count) return;
        T copy(x);
        if (m_count == m_capacity) Grow(m_count + 1);
        if (i == m_count) {
            new (&m_a[m_count]) T(std::move(copy));
        } else {
            new (&m_a[m_count]) T(std::move(m_a[m_count - 1]));
            for (int k = m_count - 1; k > i; k--)
                m_a[k] = std::move(m_a[k - 1]);
            m_a[i] = std::move(copy);
        }
        m_count++;
    }
    void Remove() {
        if (m_count > 0) {
            m_count--;
            m_a[m_count].~T();
        }
    }
    void Remove(int i) {
        if (i < 0 || i >= m_count) return;
        for (int k = i; k < m_count - 1; k++)
            m_a[k] = std::move(m_a[k + 1]);
        Remove();
    }
    // Destroys the elements; the memory is kept.
    void Empty() {
        while (m_count > 0)
            Remove();
    }
    // Destroys the elements and frees the memory.
    void Destroy() {
        Empty();
        onfree((void*)m_a);
        m_a = nullptr;
        m_capacity = 0;
    }
    T* Reserve(size_t n) {
        if ((int)n > m_capacity) SetCapacity((int)n);
        return m_a;
    }
    // Exact capacity; elements past it are destroyed.
    void SetCapacity(int n) {
        if (n < 0) n = 0;
        if (n == m_capacity) return;
        while (m_count > n)
            Remove();
        if (n == 0) {
            onfree((void*)m_a);
            m_a = nullptr;
            m_capacity = 0;
            return;
        }
        T* p = (T*)onmalloc(sizeof(T) * (size_t)n);
        if (!p) throw std::bad_alloc();
        for (int i = 0; i < m_count; i++) {
            new (&p[i]) T(std::move(m_a[i]));
            m_a[i].~T();
        }
        onfree((void*)m_a);
        m_a = p;
        m_capacity = n;
    }
    // New elements are default-constructed; elements past n are destroyed.
    void SetCount(int n) {
        if (n < 0) n = 0;
        while (m_count > n)
            Remove();
        if (n > m_capacity) SetCapacity(n);
        while (m_count < n) {
            new (&m_a[m_count]) T();
            m_count++;
        }
    }

private:
    void Grow(int needed) {
        int cap = m_capacity < 4 ? 4 : m_capacity;
        while (cap < needed)
            cap = cap < 0x3FFFFFFF ? cap * 2 : 0x7FFFFFFF;
        SetCapacity(cap);
    }
};

// openNURBS's name for an array of objects with value semantics.
template <class T> using ON_ObjectArray = ON_ClassArray<T>;

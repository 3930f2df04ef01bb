// For tests only: QuorlaAllocTest.dll is Quorla.dll with this allocator, which
// counts every allocation of the module (operator new in all its forms, and
// openNURBS's onmalloc/onrealloc) and can be told to fail one of them. It is
// linked instead of the C++ library's and the object model's own functions,
// so the add-in's code is exactly the code that ships.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

volatile LONG64 s_count = 0;     // allocations made since the module was loaded
volatile LONG64 s_failAt = -1;   // the count at which one allocation fails (-1: none)
volatile LONG64 s_failures = 0;  // allocations refused so far

// Counts one allocation; false when this is the one to refuse.
bool Admit() {
    const LONG64 n = InterlockedIncrement64(&s_count);
    if (n == s_failAt && InterlockedCompareExchange64(&s_failAt, -1, n) == n) {
        InterlockedIncrement64(&s_failures);
        return false;
    }
    return true;
}

void* Allocate(std::size_t size) {
    if (!Admit()) return nullptr;
    return std::malloc(size ? size : 1);
}

void* AllocateOrThrow(std::size_t size) {
    void* p = Allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}

} // namespace

// The switch: the `after`-th allocation from now fails (once); 0 or less
// clears it. Returns the allocations made so far.
extern "C" long long QuorlaFailAllocation(long long after) {
    const LONG64 now = s_count;
    InterlockedExchange64(&s_failAt, after > 0 ? now + after : -1);
    return now;
}

// Allocations made so far, and how many were refused.
extern "C" long long QuorlaAllocationCount(long long* failures) {
    if (failures) *failures = s_failures;
    return s_count;
}

void* operator new(std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void* onmalloc(std::size_t size) {
    return Allocate(size);
}
void* onrealloc(void* memory, std::size_t size) {
    if (!Admit()) return nullptr; // the old block stays the caller's
    return std::realloc(memory, size ? size : 1);
}
void onfree(void* memory) {
    std::free(memory);
}

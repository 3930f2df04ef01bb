// The C run-time heap. Kept alone in its object file: a module that defines
// the three functions itself links its own instead of these.
#include "opennurbs_memory.h"

#include <cstdlib>

void* onmalloc(std::size_t size) {
    return std::malloc(size ? size : 1);
}

void* onrealloc(void* memory, std::size_t size) {
    return std::realloc(memory, size ? size : 1);
}

void onfree(void* memory) {
    std::free(memory);
}

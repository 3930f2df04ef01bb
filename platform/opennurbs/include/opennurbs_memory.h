// openNURBS's allocation functions. Every buffer the object model owns (array
// storage, knots, control points) comes from onmalloc/onrealloc and goes back
// through onfree, so that a module can route them through an allocator of its
// own by defining these three functions itself.
#pragma once

#include <cstddef>

void* onmalloc(std::size_t size);
void* onrealloc(void* memory, std::size_t size);
void onfree(void* memory);

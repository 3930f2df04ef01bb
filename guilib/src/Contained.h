// Nothing may leave the library as an exception: what a member's work throws
// (running out of memory, in practice) ends at the member's boundary, which
// then gives its fallback.
#pragma once

#include <utility>

template <class R, class F> R Contained(R fallback, F&& work) noexcept {
    try {
        return std::forward<F>(work)();
    } catch (...) {
        return fallback;
    }
}

template <class F> void Contained(F&& work) noexcept {
    try {
        std::forward<F>(work)();
    } catch (...) {
    }
}

// What a conversion must undo on every path out, also when running out of
// memory unwinds it: host handles to release, and documents to close out.
#pragma once

#include "Host.h"

#include <utility>

// A host handle released when the holder goes.
template <class H> class HostHeld {
public:
    HostHeld() = default;
    ~HostHeld() { HostRelease(handle); }
    HostHeld(const HostHeld&) = delete;
    HostHeld& operator=(const HostHeld&) = delete;

    H handle = nullptr;
};

// Runs `f` when the scope ends, however it ends; `f` must not throw.
template <class F> class AtScopeExit {
public:
    explicit AtScopeExit(F f) : f_(std::move(f)) {}
    ~AtScopeExit() { f_(); }
    AtScopeExit(const AtScopeExit&) = delete;
    AtScopeExit& operator=(const AtScopeExit&) = delete;

private:
    F f_;
};

// Objects of derived classes are allocated on a 32-byte boundary.
#pragma once

#include <cstddef>
#include <new>

struct ZuAligned {
    static void* operator new(std::size_t size) { return ::operator new(size, std::align_val_t(32)); }
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
        return ::operator new(size, std::align_val_t(32), std::nothrow);
    }
    static void operator delete(void* p) noexcept { ::operator delete(p, std::align_val_t(32)); }
};

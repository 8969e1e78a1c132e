// 16-byte-aligned, zeroed float memory for the effects' delay lines.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>

// Null when the memory is not available.
inline float* tryAllocateLine(size_t samples) noexcept {
    void* p = ::operator new(samples * sizeof(float), std::align_val_t(16), std::nothrow);
    if (p) std::memset(p, 0, samples * sizeof(float));
    return static_cast<float*>(p);
}

// For constructors: throws std::bad_alloc when the memory is not available.
inline float* allocateLine(size_t samples) {
    float* p = tryAllocateLine(samples);
    if (!p) throw std::bad_alloc();
    return p;
}

inline void freeLine(float* p) noexcept {
    if (p) ::operator delete(p, std::align_val_t(16));
}

// 16-byte-aligned, zeroed float memory for the effects' delay lines.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Settling checks compare bit patterns: a zero's sign, or a NaN, tells.
inline bool sameBits(float a, float b) {
    uint32_t ua, ub;
    std::memcpy(&ua, &a, sizeof(ua));
    std::memcpy(&ub, &b, sizeof(ub));
    return ua == ub;
}

inline bool allSameBits(const float* v, size_t n, float value) {
    for (size_t i = 0; i < n; ++i)
        if (!sameBits(v[i], value)) return false;
    return true;
}

// True when every sample is a zero, of either sign.
inline bool allZeros(const float* v, size_t n) {
    uint32_t bits = 0;
    for (size_t i = 0; i < n; ++i) {
        uint32_t b;
        std::memcpy(&b, &v[i], sizeof(b));
        bits |= b & 0x7FFFFFFFu;
    }
    return bits == 0;
}

// For the length of a processing call: results too small for a normal float
// become zero, and such inputs count as zero. Decaying filter and line states
// would otherwise pass through denormal numbers, which cost many times the
// work of a normal operation. The host's own setting is put back on return.
#pragma once

#if defined(__SSE__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 1)
#include <xmmintrin.h>

class ScopedFlushToZero {
public:
    ScopedFlushToZero() : saved_(_mm_getcsr() & kModeBits) { _mm_setcsr(_mm_getcsr() | kModeBits); }
    ~ScopedFlushToZero() { _mm_setcsr((_mm_getcsr() & ~kModeBits) | saved_); }
    ScopedFlushToZero(const ScopedFlushToZero&) = delete;
    ScopedFlushToZero& operator=(const ScopedFlushToZero&) = delete;

    // Whether both modes are on in the calling thread right now.
    static bool active() { return (_mm_getcsr() & kModeBits) == kModeBits; }

private:
    static constexpr unsigned kFlushToZero = 0x8000;      // MXCSR bit 15
    static constexpr unsigned kDenormalsAreZero = 0x0040; // MXCSR bit 6
    static constexpr unsigned kModeBits = kFlushToZero | kDenormalsAreZero;
    unsigned saved_;
};
#else
// Without SSE there is no such mode to set; denormals are left as they are.
class ScopedFlushToZero {
public:
    ScopedFlushToZero() {}
    static bool active() { return false; }
};
#endif

// The editor's visibility mask: one bit per control group, bit g is bit
// g mod 32 of word g / 32. Group 0 (always shown) is set from the start.
// The switches write it from whatever thread applies a value while the
// controls read it at idle, so the words are atomic.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

struct VisibilityMask {
    std::array<std::atomic<uint32_t>, 4> words{1u, 0u, 0u, 0u};
    bool test(int bit) const { return (words[bit / 32].load() >> (bit % 32)) & 1u; }
    void set(int bit, bool on) {
        if (on)
            words[bit / 32].fetch_or(1u << (bit % 32));
        else
            words[bit / 32].fetch_and(~(1u << (bit % 32)));
    }
};

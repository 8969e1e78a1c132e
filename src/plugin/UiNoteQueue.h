// What the audio thread hands to the user-interface thread: a fixed ring
// with one writer (the audio thread) and one reader at a time. Neither side
// allocates, locks or waits; a full ring refuses the note.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

struct UiNote {
    enum Kind : int32_t {
        kMoved,         // a controller moved parameter `tag` to `value`
        kLearned,       // the armed control is to be bound to controller `number`
        kProgramChange, // program `number` was asked for
    };
    Kind kind = kMoved;
    int32_t tag = 0;
    int32_t number = 0;
    float value = 0.0f;
};

class UiNoteQueue {
public:
    static constexpr uint32_t kCapacity = 1024; // a power of two

    // Writer only.
    bool push(const UiNote& note) {
        const uint32_t w = write_.load(std::memory_order_relaxed);
        if (w - read_.load(std::memory_order_acquire) >= kCapacity) return false;
        notes_[w & (kCapacity - 1)] = note;
        write_.store(w + 1, std::memory_order_release);
        return true;
    }
    // Reader only.
    bool pop(UiNote& out) {
        const uint32_t r = read_.load(std::memory_order_relaxed);
        if (r == write_.load(std::memory_order_acquire)) return false;
        out = notes_[r & (kCapacity - 1)];
        read_.store(r + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<UiNote, kCapacity> notes_{};
    std::atomic<uint32_t> write_{0};
    std::atomic<uint32_t> read_{0};
};

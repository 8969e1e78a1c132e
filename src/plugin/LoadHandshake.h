// The handshake between the audio thread and a thread that loads a state.
// The audio thread announces itself before it looks at the load flag, and a
// loader raises the load flag before it looks at the audio flag; with
// sequentially consistent atomics at least one of them sees the other, so the
// audio thread never runs on state that a loader is changing.
#pragma once

#include <atomic>

struct LoadHandshake {
    // Audio thread: true when it may process; false means write silence.
    static bool enterAudio(std::atomic<bool>& audioBusy, const std::atomic<bool>& loadInProgress) {
        audioBusy.store(true);
        if (loadInProgress.load()) {
            audioBusy.store(false);
            return false;
        }
        return true;
    }
    static void leaveAudio(std::atomic<bool>& audioBusy) { audioBusy.store(false); }

    // Loader: raises the flag, then (unless told not to) waits in steps of
    // 1 ms until the audio thread is out of its processing call.
    static void beginLoad(std::atomic<bool>& loadInProgress, const std::atomic<bool>& audioBusy, bool wait);
    static void endLoad(std::atomic<bool>& loadInProgress) { loadInProgress.store(false); }
    // Sleeps 1 ms at a time until the audio thread is out of its processing call.
    static void waitForAudio(const std::atomic<bool>& audioBusy);
};

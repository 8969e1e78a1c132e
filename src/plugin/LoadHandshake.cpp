#include "plugin/LoadHandshake.h"

#include <chrono>
#include <thread>

void LoadHandshake::beginLoad(std::atomic<bool>& loadInProgress, const std::atomic<bool>& audioBusy, bool wait) {
    loadInProgress.store(true);
    if (wait) waitForAudio(audioBusy);
}

void LoadHandshake::waitForAudio(const std::atomic<bool>& audioBusy) {
    while (audioBusy.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

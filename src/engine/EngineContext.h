// The timing context shared by the engine and the send effects: sample rate,
// tempo, the 32-sample control grid and its derived constants, the registry of
// signal memory that suspend clears, and the tempo listeners.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ZuBPMChangeInterface;

constexpr float kMinSampleRate = 11050.0f;
constexpr float kMaxSampleRate = 196000.0f;
constexpr int32_t kControlBlockSize = 32;

struct BufferEntry {
    void* pointer;
    size_t bytes;
};

class BufferRegistry {
public:
    void add(void* pointer, size_t bytes);
    void remove(const void* pointer); // the first entry with that pointer
    void zeroAll();                   // what suspend does
    const std::vector<BufferEntry>& entries() const { return entries_; }

private:
    std::vector<BufferEntry> entries_;
};

struct EngineContext {
    float sampleRate = 44100.0f;
    double tempo = 120.0;
    float samplesPerBeat = 22050.0f;
    int32_t controlBlockSize = kControlBlockSize;
    float controlBlockSizeF = 32.0f;
    float controlBlockReciprocal = 0.03125f;
    int32_t controlCounter = kControlBlockSize;
    float samplePeriod = 0.0f;
    float twoOverFs = 0.0f;
    float angularStep = 0.0f;
    float halfAngularStep = 0.0f;
    float rateRatio = 0.0f;
    float samplesPerMs = 0.0f;
    float controlBlockPeriod = 0.0f;
    float controlBlocksPerMs = 0.0f;
    float controlBlocksPerBeat = 0.0f;
    float kOver1024 = 0.0f; // 1/(fs * 0.0009765625)
    float fsOverTwoPi = 0.0f;

    BufferRegistry registry;
    std::vector<ZuBPMChangeInterface*> tempoListeners;

    EngineContext();

    static bool acceptsSampleRate(float fs) { return fs >= kMinSampleRate && fs <= kMaxSampleRate; }
    // Takes fs when it lies in the accepted range; answers whether it did.
    bool setSampleRate(float fs);
    // Refreshes the fields that depend on the tempo (and on fs).
    void refreshTempoFields();
    void addTempoListener(ZuBPMChangeInterface* l) { tempoListeners.push_back(l); }
    void removeTempoListener(ZuBPMChangeInterface* l);
};

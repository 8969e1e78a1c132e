// Stereo delay whose lines are exactly one four-beat bar long. A change of the
// delay time changes the read head's speed rather than jumping it, so the delay
// glides to the new time like a tape delay.
#pragma once

#include <cstdint>
#include <memory>

#include "effects/EffectFilter.h"
#include "effects/ZuEffect.h"
#include "engine/ZuBPMChangeInterface.h"

class ZuDelay : public ZuEffect, public ZuBPMChangeInterface {
public:
    explicit ZuDelay(EngineContext* context);
    ~ZuDelay() override;
    ZuDelay(const ZuDelay&) = delete;
    ZuDelay& operator=(const ZuDelay&) = delete;

    void process(float* left, float* right, int32_t count) override;
    void processInto(float* left, float* right, int32_t count, OutputStage::Run& mix) override;
    void processWet(float* left, float* right, int32_t count) override;
    void setParameter(int32_t index, float value) override;
    void setMode(int32_t which, int32_t value) override;
    void reset() override;
    void update() override;
    void timingChanged(bool keepContents) override;
    int32_t clear() override;
    int32_t isStereoCapable() override { return 1; }
    void getParameterDisplay(int32_t index, float value, char* text) override;
    float getParameterSteps(int32_t index) override;
    void tempoChanged() override { timingChanged(true); }

    // Runs on the host's thread when a sample rate is accepted: makes the lines
    // hold a bar at the slowest tempo the engine takes, so that a tempo change
    // on the audio thread only ever reuses this memory.
    void prepareForSampleRate(float fs);

    // One four-beat bar in samples.
    static uint32_t barLength(float samplesPerBeat) { return static_cast<uint32_t>(4.0f * samplesPerBeat); }

    uint32_t length() const { return length_; }
    uint32_t capacity() const { return capacity_; }
    uint32_t allocatedSamples() const { return allocated_; }
    int32_t target() const { return target_; }
    uint32_t writeIndex() const { return writeIndex_; }
    float readPosition() const { return readPosition_; }
    float readSpeed() const { return readSpeed_; }
    float feedback() const { return feedback_; }
    float width() const { return width_; }
    const float* leftLine() const { return leftLine_; }
    const float* rightLine() const { return rightLine_; }
    // True while blocks skip the lines of a settled silent delay.
    bool settled() const { return settled_; }
    EffectFilter& leftFilter() { return *leftFilter_; }
    EffectFilter& rightFilter() { return *rightFilter_; }
    // For tests: place the heads directly.
    void setHeads(uint32_t writeIndex, float readPosition) {
        writeIndex_ = writeIndex;
        readPosition_ = readPosition;
    }

private:
    float samplesPerBeat() const;
    float blockSizeF() const;
    int32_t blockSize() const;
    // Moves both lines to new memory of the given size, keeping what the
    // registry covers; false (lines unchanged) when the memory is not available.
    bool replaceLines(uint32_t samples);
    void registerLines(uint32_t samples);
    void resizeRegisteredLines(uint32_t samples); // entries keep their place
    void unregisterLines();
    void wrapHeads();
    // Settled: the lines are neither read nor written (see holdsSettledState).
    // ZeroCutoff: both output filters at cutoff 0 (EffectFilterPair::step).
    // sink(i, pair) sees each frame's output pair.
    template <bool Wet, bool Settled, bool ZeroCutoff, typename Sink>
    void run(float* left, float* right, int32_t count, Sink& sink);
    template <typename Sink> void processWith(float* left, float* right, int32_t count, Sink& sink);

    // With silence at the input the lines settle, in single precision, where
    // each holds one value that every write reproduces. While the heads then
    // stand on whole samples at speed 1, reads give that value and writes
    // change nothing: a block needs only the heads and the output filters.
    bool holdsSettledState() const;
    bool wroteSettledValues(uint32_t firstWrite, int32_t count) const;
    bool verifySettled();
    void forgetSettling();

    uint32_t length_ = 0;
    int32_t target_ = 0;
    uint32_t writeIndex_ = 0;
    int32_t glide_ = 1;
    int32_t timeMode_ = 0;
    float width_ = 0.0f;
    float oneMinusWidth_ = 1.0f;
    float feedback_ = 0.5f;
    float readPosition_ = 0.0f;
    float readSpeed_ = 1.0f;
    float* leftLine_ = nullptr;
    float* rightLine_ = nullptr;
    std::unique_ptr<EffectFilter> leftFilter_;
    std::unique_ptr<EffectFilter> rightFilter_;
    uint32_t capacity_ = 0;   // largest bar taken by timingChanged since construction
    uint32_t allocated_ = 0;  // samples each line holds
    uint32_t registered_ = 0; // samples of each line in the buffer registry
    // Settling: frames since the lines were last checked (once a bar), and the verified
    // line values with the feedback they hold under.
    uint32_t framesSinceCheck_ = 0;
    bool settled_ = false;
    float settledLeft_ = 0.0f;
    float settledRight_ = 0.0f;
    float settledFeedback_ = 0.0f;
};

// LFO and envelope follower with their two rows of modulation slots. Slot 0
// of a row takes a source that is off; slots 1..8 are the destinations 0..7.
#pragma once

#include "engine/EngineContext.h"
#include "engine/EnvelopeFollower.h"
#include "engine/Lfo.h"

enum ModDestination {
    kModFilterFrequency = 0,
    kModFilterResonance,
    kModDelayTime,
    kModDelayFeedback,
    kModDelayLevel,
    kModReverbRoom,
    kModReverbDecay,
    kModReverbLevel,
};

constexpr int kModSlots = 9;

class Modulation {
public:
    void setLfoSpeed(float v, const EngineContext& ctx) { lfo_.setSpeed(v, ctx); }
    void setLfoAmount(float v) { lfoDepth_ = 0.5f * v; }
    void setLfoPower(float on) { lfoPower_ = on >= 0.5f ? 1.0f : 0.0f; }
    void setLfoSync(float on) { lfo_.setSync(on); }
    void setLfoTarget(float destination) { lfoTarget_ = destination; }
    void setFollowerSpeed(float v, const EngineContext& ctx) { follower_.setSpeed(v, ctx); }
    void setFollowerAmount(float v) { followerDepth_ = v; }
    void setFollowerPower(float on) { followerPower_ = on >= 0.5f ? 1.0f : 0.0f; }
    void setFollowerInvert(float on) { followerSign_ = on >= 0.5f ? -1.0f : 1.0f; }
    void setFollowerTarget(float destination) { followerTarget_ = destination; }

    // Per sample: the follower's detector on the dry signal.
    void detect(float dryL, float dryR) { follower_.detect(dryL, dryR); }
    void detect(const StereoSample* dry, int32_t n) { follower_.detect(dry, n); }
    // Per control block: advance the LFO and write both slot rows.
    void controlBlock(const EngineContext& ctx);
    // Sum of both rows at a destination 0..7.
    float at(int destination) const { return lfoSlots_[destination + 1] + followerSlots_[destination + 1]; }
    // The LFO's current rate in Hz (the editor's rate indicator).
    float lfoRate() const { return lfo_.rate(); }

    const Lfo& lfo() const { return lfo_; }
    const EnvelopeFollower& follower() const { return follower_; }
    EnvelopeFollower& follower() { return follower_; }
    float lfoSlot(int slot) const { return lfoSlots_[slot]; }
    float followerSlot(int slot) const { return followerSlots_[slot]; }

private:
    static void writeRow(float (&row)[kModSlots], float power, float destination, float value);

    Lfo lfo_;
    float lfoDepth_ = 0.0f;
    float lfoPower_ = 0.0f;
    float lfoTarget_ = 0.0f;
    EnvelopeFollower follower_;
    float followerDepth_ = 0.0f;
    float followerPower_ = 0.0f;
    float followerSign_ = 1.0f;
    float followerTarget_ = 0.0f;
    float lfoSlots_[kModSlots] = {};
    float followerSlots_[kModSlots] = {};
};

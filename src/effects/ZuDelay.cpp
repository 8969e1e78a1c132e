#include "effects/ZuDelay.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "effects/SignalLine.h"
#include "engine/StereoLanes.h"

namespace {
constexpr float kDenormalGuard = 1e-10f;
constexpr float kWetDenormalGuard = 1e-18f;
constexpr int32_t kMinimumTarget = 128;

uint32_t slowestBar(float fs) { return ZuDelay::barLength(EngineContext::samplesPerBeatAt(fs, kMinHostTempo)); }
} // namespace

ZuDelay::ZuDelay(EngineContext* context) : ZuEffect(context, 4) {
    setParameterNameText(0, "Delay");
    setParameterNameText(1, "Feedback");
    setParameterNameText(2, "Width");
    setParameterNameText(3, "Cutoff");
    length_ = barLength(samplesPerBeat());
    allocated_ = std::max(length_, slowestBar(context_ ? context_->sampleRate : 44100.0f));
    leftLine_ = allocateLine(allocated_);
    rightLine_ = tryAllocateLine(allocated_);
    if (!rightLine_) {
        freeLine(leftLine_);
        throw std::bad_alloc();
    }
    registerLines(length_);
    leftFilter_ = std::make_unique<EffectFilter>(context_, registry_);
    rightFilter_ = std::make_unique<EffectFilter>(context_, registry_);
    if (context_) context_->addTempoListener(static_cast<ZuBPMChangeInterface*>(this));
}

ZuDelay::~ZuDelay() {
    unregisterLines();
    freeLine(leftLine_);
    freeLine(rightLine_);
    leftFilter_.reset();
    rightFilter_.reset();
    if (context_) context_->removeTempoListener(static_cast<ZuBPMChangeInterface*>(this));
}

float ZuDelay::samplesPerBeat() const { return context_ ? context_->samplesPerBeat : 22050.0f; }
float ZuDelay::blockSizeF() const { return context_ ? context_->controlBlockSizeF : 32.0f; }
int32_t ZuDelay::blockSize() const { return context_ ? context_->controlBlockSize : kControlBlockSize; }

void ZuDelay::registerLines(uint32_t samples) {
    registered_ = samples;
    if (!registry_) return;
    registry_->add(leftLine_, samples * sizeof(float));
    registry_->add(rightLine_, samples * sizeof(float));
}

void ZuDelay::resizeRegisteredLines(uint32_t samples) {
    registered_ = samples;
    if (!registry_) return;
    registry_->resize(leftLine_, samples * sizeof(float));
    registry_->resize(rightLine_, samples * sizeof(float));
}

void ZuDelay::unregisterLines() {
    if (!registry_) return;
    registry_->remove(leftLine_);
    registry_->remove(rightLine_);
}

bool ZuDelay::replaceLines(uint32_t samples) {
    float* left = tryAllocateLine(samples);
    float* right = tryAllocateLine(samples);
    if (!left || !right) {
        freeLine(left);
        freeLine(right);
        return false;
    }
    forgetSettling();
    const size_t keep = std::min(registered_, samples);
    std::memcpy(left, leftLine_, keep * sizeof(float));
    std::memcpy(right, rightLine_, keep * sizeof(float));
    unregisterLines();
    freeLine(leftLine_);
    freeLine(rightLine_);
    leftLine_ = left;
    rightLine_ = right;
    allocated_ = samples;
    registerLines(static_cast<uint32_t>(keep));
    return true;
}

void ZuDelay::prepareForSampleRate(float fs) {
    const uint32_t needed = slowestBar(fs);
    // Without the memory the lines stay as they are and timingChanged keeps
    // the bar within them.
    if (needed > allocated_) replaceLines(needed);
}

void ZuDelay::wrapHeads() {
    const float len = static_cast<float>(length_);
    while (readPosition_ >= len) readPosition_ -= len;
    while (writeIndex_ >= length_) writeIndex_ -= length_;
}

namespace {
struct NoSink {
    void step(int32_t, __m128) {}
};
} // namespace

template <bool Wet, bool Settled, bool ZeroCutoff, typename Sink>
ORVEL_ALIGN_STACK void ZuDelay::run(float* left, float* right, int32_t count, Sink& sink) {
    const float guard = Wet ? kWetDenormalGuard : kDenormalGuard;
    // The heads live in locals: stores through left and right could alias them.
    const uint32_t length = length_;
    const float lengthF = static_cast<float>(length);
    const float speed = readSpeed_;
    const float fb = feedback_;
    const float width = width_;
    const float oneMinusWidth = 1.0f - width;
    float* const lineL = leftLine_;
    float* const lineR = rightLine_;
    float readPosition = readPosition_;
    uint32_t writeIndex = writeIndex_;
    // Left and right in lanes 0 and 1; swapped() puts each lane's partner beside it.
    const auto pair = [](float l, float r) { return _mm_unpacklo_ps(_mm_set_ss(l), _mm_set_ss(r)); };
    const auto swapped = [](__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 2, 0, 1)); };
    const __m128 settled = pair(settledLeft_, settledRight_);
    const __m128 wetGain = _mm_set1_ps(wetGain_), dryGain = _mm_set1_ps(dryGain_);
    const __m128 own = _mm_set1_ps(Wet ? oneMinusWidth_ : oneMinusWidth), other = _mm_set1_ps(width);
    EffectFilterPair filters(*leftFilter_, *rightFilter_);
    for (int32_t i = 0; i < count; ++i) {
        while (readPosition >= lengthF) readPosition -= lengthF;
        while (writeIndex >= length) writeIndex -= length;
        const __m128 in = pair(left[i], right[i]);
        __m128 delayed = settled;
        if constexpr (!Settled) {
            // The read head is below the line's length, far inside int32_t, whose
            // conversions are single instructions where unsigned ones are not.
            const int32_t whole = static_cast<int32_t>(readPosition);
            const uint32_t r0 = static_cast<uint32_t>(whole);
            const float frac = readPosition - static_cast<float>(whole);
            const uint32_t r1 = r0 + 1 == length ? 0 : r0 + 1;
            // Left and right in lanes: line[r0] * (1 - frac) + line[r1] * frac.
            delayed = _mm_add_ps(_mm_mul_ps(pair(lineL[r0], lineR[r0]), _mm_set1_ps(1.0f - frac)),
                                 _mm_mul_ps(pair(lineL[r1], lineR[r1]), _mm_set1_ps(frac)));
            // Feedback carries the unfiltered delayed signal: in + guard + d * fb.
            const __m128 written = _mm_add_ps(_mm_add_ps(in, _mm_set1_ps(guard)), _mm_mul_ps(delayed, _mm_set1_ps(fb)));
            _mm_store_ss(lineL + writeIndex, written);
            _mm_store_ss(lineR + writeIndex, swapped(written));
        }
        __m128 out;
        if constexpr (Wet) {
            out = _mm_add_ps(_mm_mul_ps(own, delayed), _mm_mul_ps(other, swapped(delayed)));
        } else {
            const __m128 wet = _mm_mul_ps(filters.template step<ZeroCutoff>(delayed), wetGain);
            out = _mm_add_ps(_mm_add_ps(_mm_mul_ps(own, wet), _mm_mul_ps(other, swapped(wet))),
                             _mm_mul_ps(in, dryGain));
        }
        left[i] = _mm_cvtss_f32(out);
        right[i] = _mm_cvtss_f32(swapped(out));
        sink.step(i, out);
        writeIndex += 1;
        readPosition += speed;
    }
    if constexpr (!Wet) filters.store();
    readPosition_ = readPosition;
    writeIndex_ = writeIndex;
}

void ZuDelay::process(float* left, float* right, int32_t count) {
    NoSink none;
    processWith(left, right, count, none);
}

void ZuDelay::processInto(float* left, float* right, int32_t count, OutputStage::Run& mix) {
    processWith(left, right, count, mix);
}

template <typename Sink> void ZuDelay::processWith(float* left, float* right, int32_t count, Sink& sink) {
    if (count <= 0) return;
    // Only settled lines, and a check once a bar, ask whether the input is silent.
    const bool checkDue = !settled_ && framesSinceCheck_ + static_cast<uint32_t>(count) >= length_;
    const bool quiet = (settled_ || checkDue) && allZeros(left, static_cast<size_t>(count)) &&
                       allZeros(right, static_cast<size_t>(count));
    const bool zeroCutoff = EffectFilterPair::zeroCutoff(*leftFilter_, *rightFilter_);
    const auto runDry = [&]<bool Settled>() {
        if (zeroCutoff) run<false, Settled, true>(left, right, count, sink);
        else run<false, Settled, false>(left, right, count, sink);
    };
    if (settled_ && quiet && holdsSettledState()) {
        runDry.template operator()<true>();
        return;
    }
    const uint32_t firstWrite = writeIndex_;
    runDry.template operator()<false>();
    if (settled_) {
        // Heads off whole samples (a glide) read interpolated values; the lines
        // stay settled if every write still gave the settled value.
        settled_ = quiet && wroteSettledValues(firstWrite, count);
        framesSinceCheck_ = 0;
    } else if (checkDue) {
        // A line still taking sound fails the check at its first samples.
        framesSinceCheck_ = 0;
        settled_ = quiet && verifySettled();
    } else {
        framesSinceCheck_ += static_cast<uint32_t>(count);
    }
}

bool ZuDelay::wroteSettledValues(uint32_t firstWrite, int32_t count) const {
    uint32_t w = firstWrite;
    for (int32_t i = 0; i < count; ++i, ++w) {
        while (w >= length_) w -= length_;
        if (!sameBits(leftLine_[w], settledLeft_) || !sameBits(rightLine_[w], settledRight_)) return false;
    }
    // The sample after the block was not written by it: suspend zeroes whole lines.
    while (w >= length_) w -= length_;
    return sameBits(leftLine_[w], settledLeft_) && sameBits(rightLine_[w], settledRight_);
}

void ZuDelay::processWet(float* left, float* right, int32_t count) {
    forgetSettling();
    NoSink none;
    run<true, false, false>(left, right, count, none);
}

// A silent block reads the settled value and writes it back unchanged when
// the read head stands on a whole sample at speed 1 (frac 0, so the
// interpolation gives the line value itself) and the feedback is the one the
// values were verified with. suspend zeroes the lines behind the effect's
// back; their first samples tell.
bool ZuDelay::holdsSettledState() const {
    return readSpeed_ == 1.0f && readPosition_ == std::trunc(readPosition_) &&
           sameBits(feedback_, settledFeedback_) && sameBits(leftLine_[0], settledLeft_) &&
           sameBits(rightLine_[0], settledRight_);
}

// Settled when each line holds one finite value v and a silent write,
// (0 + 1e-10) + v * feedback, gives v again.
bool ZuDelay::verifySettled() {
    const float l = leftLine_[0];
    const float r = rightLine_[0];
    const float fb = feedback_;
    for (float v : {l, r})
        if (!std::isfinite(v) || v == 0.0f || !sameBits(0.0f + kDenormalGuard + v * fb, v)) return false;
    // A tail still decaying mostly shows at a sparse sample before the full scan.
    for (uint32_t i = 0; i < length_; i += 1024)
        if (!sameBits(leftLine_[i], l) || !sameBits(rightLine_[i], r)) return false;
    if (!allSameBits(leftLine_, length_, l) || !allSameBits(rightLine_, length_, r)) return false;
    settledLeft_ = l;
    settledRight_ = r;
    settledFeedback_ = fb;
    return true;
}

void ZuDelay::forgetSettling() {
    settled_ = false;
    framesSinceCheck_ = 0;
}

void ZuDelay::setParameter(int32_t index, float value) {
    if (index < 0 || index >= count_) return;
    values_[index] = value;
    switch (index) {
    case 0: {
        if (timeMode_ != 0) return;
        // At least 128 samples and never beyond the line (nor NaN).
        const float scaled = (static_cast<float>(length_) - 1.0f) * value;
        const int32_t last = static_cast<int32_t>(length_) - 1;
        if (!(scaled >= static_cast<float>(kMinimumTarget))) target_ = kMinimumTarget;
        else if (scaled >= static_cast<float>(last)) target_ = last;
        else target_ = static_cast<int32_t>(scaled);
        if (!glide_) {
            float pos = static_cast<float>(static_cast<int64_t>(writeIndex_) - target_);
            if (pos < 0.0f) pos += static_cast<float>(length_);
            readPosition_ = pos;
            readSpeed_ = 1.0f;
        } else {
            // The speed that closes the gap to the target geometrically.
            float d = static_cast<float>(writeIndex_) - readPosition_;
            while (d < 0.0f) d += static_cast<float>(length_);
            readSpeed_ = (d + blockSizeF()) / static_cast<float>(target_ + blockSize());
        }
        break;
    }
    case 1: feedback_ = 0.98f * value; break;
    case 2:
        width_ = value;
        oneMinusWidth_ = 1.0f - value;
        break;
    case 3:
        leftFilter_->setCutoff(value);
        rightFilter_->setCutoff(value);
        break;
    default: break;
    }
}

void ZuDelay::setMode(int32_t which, int32_t value) {
    if (which == -1) glide_ = value;
    else if (which == 0) timeMode_ = value;
}

void ZuDelay::reset() {
    forgetSettling();
    readPosition_ = 0.0f;
    width_ = 0.0f;
    oneMinusWidth_ = 1.0f;
    target_ = 0;
    writeIndex_ = 0;
    feedback_ = 0.5f;
    readSpeed_ = 1.0f;
    leftFilter_->clearState();
    rightFilter_->clearState();
    std::memset(leftLine_, 0, length_ * sizeof(float));
    std::memset(rightLine_, 0, length_ * sizeof(float));
}

void ZuDelay::update() {
    int64_t d = static_cast<int64_t>(static_cast<float>(writeIndex_) - readPosition_);
    while (d < 0) d += length_;
    if (d == target_) return;
    float speed = static_cast<float>(d + blockSize()) / static_cast<float>(blockSize() + target_);
    if (static_cast<float>(target_ - d) > blockSizeF()) speed *= speed;
    readSpeed_ = speed;
}

void ZuDelay::timingChanged(bool keepContents) {
    uint32_t newLength = barLength(samplesPerBeat());
    if (newLength == length_) return;
    forgetSettling();
    // The lines hold a bar at the slowest tempo for the sample rate set, so
    // this only allocates for a context that was not prepared for its rate
    // (and never lets the bar outgrow the memory).
    if (newLength > allocated_ && !replaceLines(newLength)) newLength = allocated_;
    length_ = newLength;
    if (newLength > capacity_) {
        // A bar longer than any before starts from empty lines, and the
        // registry covers all of it.
        capacity_ = newLength;
        resizeRegisteredLines(newLength);
        std::memset(leftLine_, 0, newLength * sizeof(float));
        std::memset(rightLine_, 0, newLength * sizeof(float));
    }
    if (!keepContents) {
        reset();
    } else {
        wrapHeads();
        setParameter(0, values_[0]);
    }
    wrapHeads();
}

int32_t ZuDelay::clear() {
    forgetSettling();
    const uint32_t n = static_cast<uint32_t>(std::clamp(target_, 0, static_cast<int32_t>(length_)));
    std::memset(leftLine_, 0, n * sizeof(float));
    std::memset(rightLine_, 0, n * sizeof(float));
    readPosition_ = 0.0f;
    writeIndex_ = n;
    readSpeed_ = 1.0f;
    return 1;
}

void ZuDelay::getParameterDisplay(int32_t index, float value, char* text) {
    writePercentDisplay(index, value, text);
}

float ZuDelay::getParameterSteps(int32_t) { return 0.0f; }

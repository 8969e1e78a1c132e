#include "effects/ZuReverb.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effects/LineRun.h"
#include "effects/SignalLine.h"

namespace {
constexpr float kDenormalGuard = 1e-10f;
} // namespace

ZuReverb::ZuReverb(EngineContext* context)
    : ZuEffect(context, 5) {
    static const char* const names[] = {"Size", "Strength", "Damp", "Width", "Cutoff"};
    static const float defaults[] = {0.5f, 0.5f, 0.5f, 1.0f, 0.0f};
    for (int32_t i = 0; i < 5; ++i) {
        setParameterNameText(i, names[i]);
        setParameterDefaultValue(i, defaults[i]);
    }
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j) {
            comb_[c][j] = allocateLine(kCombLength[c][j]);
            if (registry_) registry_->add(comb_[c][j], kCombLength[c][j] * sizeof(float));
        }
        for (int a = 0; a < kAllPasses; ++a) {
            allPass_[c][a] = allocateLine(kAllPassLength[c][a]);
            if (registry_) registry_->add(allPass_[c][a], kAllPassLength[c][a] * sizeof(float));
        }
    }
    leftFilter_ = std::make_unique<EffectFilter>(context_, registry_);
    rightFilter_ = std::make_unique<EffectFilter>(context_, registry_);
    update();
}

ZuReverb::~ZuReverb() {
    for (int c = 0; c < 2; ++c) {
        for (float* line : comb_[c]) {
            if (registry_) registry_->remove(line);
            freeLine(line);
        }
        for (float* line : allPass_[c]) {
            if (registry_) registry_->remove(line);
            freeLine(line);
        }
    }
}

// Lanes hold four frames of one line where the arithmetic is per frame (comb
// sums, all-passes) and four combs of one frame in the damping recursion,
// which runs frame after frame; a 4x4 transpose moves between the two. Each
// lane performs the scalar operations in their written order.
namespace {
struct CombCoefficients {
    __m128 damp1, damp2, room;
};

// Four frames of four combs, one vector per comb.
struct Quad {
    __m128 v0, v1, v2, v3;
};

inline __m128 dampStep(__m128 y, __m128& state, const CombCoefficients& k) {
    state = _mm_add_ps(_mm_mul_ps(y, k.damp2), _mm_mul_ps(state, k.damp1));
    return state;
}

// The line write of four frames of one comb, x the four frames' inputs.
inline __m128 combWrite(__m128 state, const CombCoefficients& k, __m128 x) {
    return _mm_add_ps(_mm_mul_ps(state, k.room), x);
}

// q holds each comb's reads in time order on entry and its writes on return;
// the reads are added to the comb sums `sum` (four frames), comb by comb. The
// writes are formed after the transpose back, four frames to a vector, so that
// each frame's input is not spread over a vector of its own.
template <bool Flush>
inline __m128 combQuad(Quad& q, __m128& state, const CombCoefficients& k, const float* x, __m128 sum) {
    if constexpr (Flush) {
        q.v0 = flushDenormalLanes(q.v0);
        q.v1 = flushDenormalLanes(q.v1);
        q.v2 = flushDenormalLanes(q.v2);
        q.v3 = flushDenormalLanes(q.v3);
    }
    sum = _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(sum, q.v0), q.v1), q.v2), q.v3);
    _MM_TRANSPOSE4_PS(q.v0, q.v1, q.v2, q.v3);
    q.v0 = dampStep(q.v0, state, k);
    q.v1 = dampStep(q.v1, state, k);
    q.v2 = dampStep(q.v2, state, k);
    q.v3 = dampStep(q.v3, state, k);
    _MM_TRANSPOSE4_PS(q.v0, q.v1, q.v2, q.v3);
    const __m128 in = _mm_loadu_ps(x);
    q.v0 = combWrite(q.v0, k, in);
    q.v1 = combWrite(q.v1, k, in);
    q.v2 = combWrite(q.v2, k, in);
    q.v3 = combWrite(q.v3, k, in);
    return sum;
}

// Frames from p until the first of the lines wraps.
template <int N> inline int framesBeforeWrap(const uint32_t (&p)[N], const uint32_t* length) {
    uint32_t frames = length[0] - p[0];
    for (int k = 1; k < N; ++k) frames = std::min(frames, length[k] - p[k]);
    return static_cast<int>(frames);
}
} // namespace

// Both groups of four combs in one loop: their damping recursions are
// independent, so they overlap instead of waiting on each other.
template <bool Flush> void ZuReverb::runCombs(int c, const float* x, float* sum, int n) {
    static_assert(kCombs == 8);
    const int whole = n & ~3;
    for (int f = whole; f < n; ++f) sum[f] = 0.0f;
    const CombCoefficients coefficients{_mm_set1_ps(damp1_), _mm_set1_ps(damp2_), _mm_set1_ps(room_)};
    float* const* line = comb_[c];
    const uint32_t* length = kCombLength[c];
    uint32_t p[kCombs]; // position of the pass's first frame
    for (int k = 0; k < kCombs; ++k) p[k] = lineAdvance(combIndex_[c][k], 1, length[k]);
    __m128 low = _mm_loadu_ps(&combState_[c][0]), high = _mm_loadu_ps(&combState_[c][4]);
    // Quads before the first wrap read and write plain runs.
    const int straight = std::min(whole, framesBeforeWrap(p, length)) & ~3;
    int f = 0;
    float* r[kCombs];
    for (int k = 0; k < kCombs; ++k) r[k] = line[k] + p[k];
    for (; f < straight; f += 4) {
        Quad a{_mm_loadu_ps(r[0] + f), _mm_loadu_ps(r[1] + f), _mm_loadu_ps(r[2] + f), _mm_loadu_ps(r[3] + f)};
        Quad b{_mm_loadu_ps(r[4] + f), _mm_loadu_ps(r[5] + f), _mm_loadu_ps(r[6] + f), _mm_loadu_ps(r[7] + f)};
        const __m128 first = combQuad<Flush>(a, low, coefficients, x + f, _mm_setzero_ps());
        _mm_storeu_ps(sum + f, combQuad<Flush>(b, high, coefficients, x + f, first));
        _mm_storeu_ps(r[0] + f, a.v0);
        _mm_storeu_ps(r[1] + f, a.v1);
        _mm_storeu_ps(r[2] + f, a.v2);
        _mm_storeu_ps(r[3] + f, a.v3);
        _mm_storeu_ps(r[4] + f, b.v0);
        _mm_storeu_ps(r[5] + f, b.v1);
        _mm_storeu_ps(r[6] + f, b.v2);
        _mm_storeu_ps(r[7] + f, b.v3);
    }
    for (; f < whole; f += 4) {
        uint32_t at[kCombs];
        for (int k = 0; k < kCombs; ++k) at[k] = lineAdvance(p[k], static_cast<uint32_t>(f), length[k]);
        const auto load = [&](int k) { return loadLineRun(line[k], at[k], length[k]); };
        Quad a{load(0), load(1), load(2), load(3)};
        Quad b{load(4), load(5), load(6), load(7)};
        const __m128 first = combQuad<Flush>(a, low, coefficients, x + f, _mm_setzero_ps());
        _mm_storeu_ps(sum + f, combQuad<Flush>(b, high, coefficients, x + f, first));
        const __m128 written[kCombs] = {a.v0, a.v1, a.v2, a.v3, b.v0, b.v1, b.v2, b.v3};
        for (int k = 0; k < kCombs; ++k) storeLineRun(line[k], at[k], length[k], written[k]);
    }
    _mm_storeu_ps(&combState_[c][0], low);
    _mm_storeu_ps(&combState_[c][4], high);
    // The last frames of a pass that is not a multiple of four, one at a time.
    for (int k = 0; k < kCombs; ++k) {
        float& st = combState_[c][k];
        uint32_t at = lineAdvance(p[k], static_cast<uint32_t>(whole), length[k]);
        for (f = whole; f < n; ++f) {
            const float y = Flush ? flushDenormal(line[k][at]) : line[k][at];
            st = y * damp2_ + st * damp1_;
            line[k][at] = st * room_ + x[f];
            sum[f] += y;
            at = lineAdvance(at, 1, length[k]);
        }
        combIndex_[c][k] = lineAdvance(combIndex_[c][k], static_cast<uint32_t>(n), length[k]);
    }
}

namespace {
// Four frames through one all-pass: returns the output, v the new line samples.
template <bool Flush> inline __m128 allPassQuad(__m128& b, __m128 in) {
    if constexpr (Flush) b = flushDenormalLanes(b);
    const __m128 out = _mm_sub_ps(b, in);
    b = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(0.5f), b), in);
    return out;
}
} // namespace

template <bool Flush> void ZuReverb::runAllPasses(int c, float* v, int n) {
    const uint32_t* length = kAllPassLength[c];
    uint32_t p[kAllPasses]; // position of the pass's first frame
    for (int a = 0; a < kAllPasses; ++a) p[a] = lineAdvance(allPassIndex_[c][a], 1, length[a]);
    const int whole = n & ~3;
    const int straight = std::min(whole, framesBeforeWrap(p, length)) & ~3;
    int f = 0;
    for (; f < straight; f += 4) {
        __m128 in = _mm_loadu_ps(v + f);
        for (int a = 0; a < kAllPasses; ++a) {
            float* at = allPass_[c][a] + p[a] + f;
            __m128 b = _mm_loadu_ps(at);
            in = allPassQuad<Flush>(b, in);
            _mm_storeu_ps(at, b);
        }
        _mm_storeu_ps(v + f, in);
    }
    for (; f < whole; f += 4) {
        __m128 in = _mm_loadu_ps(v + f);
        for (int a = 0; a < kAllPasses; ++a) {
            const uint32_t at = lineAdvance(p[a], static_cast<uint32_t>(f), length[a]);
            __m128 b = loadLineRun(allPass_[c][a], at, length[a]);
            in = allPassQuad<Flush>(b, in);
            storeLineRun(allPass_[c][a], at, length[a], b);
        }
        _mm_storeu_ps(v + f, in);
    }
    for (; f < n; ++f) {
        float in = v[f];
        for (int a = 0; a < kAllPasses; ++a) {
            float& cell = allPass_[c][a][lineAdvance(p[a], static_cast<uint32_t>(f), length[a])];
            const float b = Flush ? flushDenormal(cell) : cell;
            const float out = b - in;
            cell = 0.5f * b + in;
            in = out;
        }
        v[f] = in;
    }
    for (int a = 0; a < kAllPasses; ++a)
        allPassIndex_[c][a] = lineAdvance(allPassIndex_[c][a], static_cast<uint32_t>(n), length[a]);
}

template <bool Flush>
bool ZuReverb::runNetworks(const float* inL, const float* inR, int n, float* outL, float* outR) {
    const size_t frames = static_cast<size_t>(n);
    if constexpr (!Flush) {
        // Silent sends give every frame x = (+-0 + +-0) * gain + guard = guard,
        // so when the network settled on that x there is none to form or check.
        if (settled_ && sameBits(lastX_, kDenormalGuard) && allZeros(inL, frames) && allZeros(inR, frames) &&
            holdsSettledState(nullptr, n)) {
            advancePositions(n);
            return true;
        }
    }
    float x[kPass] = {}; // initialised for GCC, which cannot see that n frames are written
    for (int f = 0; f < n; ++f) x[f] = (inL[f] + inR[f]) * inputGain_ + kDenormalGuard;
    if constexpr (!Flush) {
        if (settled_ && holdsSettledState(x, n)) {
            advancePositions(n);
            return true;
        }
    }
    settled_ = false;
    runCombs<Flush>(0, x, outL, n);
    runAllPasses<Flush>(0, outL, n);
    runCombs<Flush>(1, x, outR, n);
    runAllPasses<Flush>(1, outR, n);
    if constexpr (!Flush) watchForSettling(x, n);
    return false;
}

// A null x: the caller has shown that every frame's x is lastX_.
bool ZuReverb::holdsSettledState(const float* x, int n) const {
    if (!sameBits(room_, lastRoom_) || !sameBits(damp1_, lastDamp1_) || !sameBits(damp2_, lastDamp2_) ||
        (x && !allSameBits(x, static_cast<size_t>(n), lastX_)))
        return false;
    // suspend zeroes whole lines behind the effect's back; one sample of each tells.
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j)
            if (!sameBits(comb_[c][j][0], settledComb_[c][j])) return false;
        for (int a = 0; a < kAllPasses; ++a)
            if (!sameBits(allPass_[c][a][0], settledAllPass_[c][a])) return false;
    }
    return true;
}

void ZuReverb::watchForSettling(const float* x, int n) {
    const bool steady = sameBits(room_, lastRoom_) && sameBits(damp1_, lastDamp1_) && sameBits(damp2_, lastDamp2_) &&
                        allSameBits(x, static_cast<size_t>(n), lastX_);
    lastX_ = x[n - 1];
    lastRoom_ = room_;
    lastDamp1_ = damp1_;
    lastDamp2_ = damp2_;
    if (!steady) {
        steadyFrames_ = 0;
        return;
    }
    steadyFrames_ += static_cast<uint32_t>(n);
    if (steadyFrames_ < kSettleCheckFrames) return;
    steadyFrames_ = 0;
    settled_ = verifySettled(lastX_);
}

// The network is settled for input x when every line holds one value and one
// step, in the network's own order of operations, reproduces every line value
// and every comb state.
bool ZuReverb::verifySettled(float x) {
    if (!std::isfinite(x)) return false;
    float out[2];
    for (int c = 0; c < 2; ++c) {
        float sum = 0.0f;
        for (int j = 0; j < kCombs; ++j) {
            const float y = comb_[c][j][0];
            if (!std::isfinite(y) || !allSameBits(comb_[c][j], kCombLength[c][j], y)) return false;
            const float state = y * damp2_ + combState_[c][j] * damp1_;
            if (!sameBits(state, combState_[c][j]) || !sameBits(state * room_ + x, y)) return false;
            settledComb_[c][j] = y;
            sum += y;
        }
        float v = sum;
        for (int a = 0; a < kAllPasses; ++a) {
            const float b = allPass_[c][a][0];
            if (!std::isfinite(b) || !allSameBits(allPass_[c][a], kAllPassLength[c][a], b)) return false;
            if (!sameBits(0.5f * b + v, b)) return false;
            settledAllPass_[c][a] = b;
            v = b - v;
        }
        out[c] = v;
    }
    settledOut_[0] = out[0];
    settledOut_[1] = out[1];
    return true;
}

void ZuReverb::advancePositions(int n) {
    const uint32_t step = static_cast<uint32_t>(n);
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j) combIndex_[c][j] = lineAdvance(combIndex_[c][j], step, kCombLength[c][j]);
        for (int a = 0; a < kAllPasses; ++a)
            allPassIndex_[c][a] = lineAdvance(allPassIndex_[c][a], step, kAllPassLength[c][a]);
    }
}

namespace {
// Frames f and f + 1 of two channels as (left f, right f, left f + 1, right f + 1).
inline __m128 loadTwoFrames(const float* left, const float* right, int f) {
    const __m128 l = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(left + f));
    const __m128 r = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(right + f));
    return _mm_unpacklo_ps(l, r);
}

inline void storeTwoFrames(float* left, float* right, int f, __m128 v) {
    const __m128 split = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 1, 2, 0));
    _mm_storel_pi(reinterpret_cast<__m64*>(left + f), split);
    _mm_storeh_pi(reinterpret_cast<__m64*>(right + f), split);
}
} // namespace

ORVEL_ALIGN_STACK void ZuReverb::process(float* left, float* right, int32_t count) {
    const __m128 wet1 = _mm_set1_ps(wet1_), wet2 = _mm_set1_ps(wet2_);
    const __m128 wetGain = _mm_set1_ps(wetGain_), dryGain = _mm_set1_ps(dryGain_);
    EffectFilterPair filters(*leftFilter_, *rightFilter_);
    const bool zeroCutoff = EffectFilterPair::zeroCutoff(*leftFilter_, *rightFilter_);
    for (int32_t done = 0; done < count; done += kPass) {
        const int n = count - done < kPass ? static_cast<int>(count - done) : kPass;
        float* l = left + done;
        float* r = right + done;
        float netL[kPass], netR[kPass];
        if (runNetworks<false>(l, r, n, netL, netR)) {
            // A settled network gives the same pair every frame.
            std::fill(netL, netL + n, settledOut_[0]);
            std::fill(netR, netR + n, settledOut_[1]);
        }
        // Frames as left and right lanes, two to a vector: wet1 times its own
        // network plus wet2 times the other, the output filters frame after
        // frame, then the wet and dry gains.
        const auto mix = [&](__m128 net) {
            return _mm_add_ps(_mm_mul_ps(wet1, net), _mm_mul_ps(wet2, _mm_shuffle_ps(net, net, _MM_SHUFFLE(2, 3, 0, 1))));
        };
        const auto gains = [&](__m128 wet, __m128 dry) {
            return _mm_add_ps(_mm_mul_ps(wet, wetGain), _mm_mul_ps(dry, dryGain));
        };
        const auto output = [&]<bool ZeroCutoff>() {
            int f = 0;
            for (; f + 2 <= n; f += 2) {
                const __m128 mixed = mix(loadTwoFrames(netL, netR, f));
                const __m128 first = filters.template step<ZeroCutoff>(mixed);
                const __m128 wet = _mm_movelh_ps(first, filters.template step<ZeroCutoff>(_mm_movehl_ps(mixed, mixed)));
                storeTwoFrames(l, r, f, gains(wet, loadTwoFrames(l, r, f)));
            }
            if (f < n) {
                const __m128 net = _mm_unpacklo_ps(_mm_set_ss(netL[f]), _mm_set_ss(netR[f]));
                const __m128 out = gains(filters.template step<ZeroCutoff>(mix(net)),
                                         _mm_unpacklo_ps(_mm_set_ss(l[f]), _mm_set_ss(r[f])));
                l[f] = _mm_cvtss_f32(out);
                r[f] = _mm_cvtss_f32(_mm_shuffle_ps(out, out, _MM_SHUFFLE(3, 2, 0, 1)));
            }
        };
        if (zeroCutoff) output.template operator()<true>();
        else output.template operator()<false>();
    }
    filters.store();
}

ORVEL_ALIGN_STACK void ZuReverb::processWet(float* left, float* right, int32_t count) {
    for (int32_t done = 0; done < count; done += kPass) {
        const int n = count - done < kPass ? static_cast<int>(count - done) : kPass;
        float* l = left + done;
        float* r = right + done;
        float netL[kPass], netR[kPass];
        if (runNetworks<false>(l, r, n, netL, netR)) {
            std::fill(netL, netL + n, settledOut_[0]);
            std::fill(netR, netR + n, settledOut_[1]);
        }
        for (int i = 0; i < n; ++i) {
            float outL = wet1_ * netL[i] + wet2_ * netR[i];
            float outR = wet1_ * netR[i] + wet2_ * netL[i];
            if (leftFilter_->g != 0.0) outL = leftFilter_->step(static_cast<double>(outL));
            if (rightFilter_->g != 0.0) outR = rightFilter_->step(static_cast<double>(outR));
            l[i] = outL;
            r[i] = outR;
        }
    }
}

ORVEL_ALIGN_STACK void ZuReverb::processSample(float* left, float* right) {
    float l, r;
    runNetworks<true>(left, right, 1, &l, &r);
    *left += leftFilter_->step(static_cast<double>(wet1_ * l + wet2_ * r)) * wetGain_;
    *right += rightFilter_->step(static_cast<double>(wet1_ * r + wet2_ * l)) * wetGain_;
}

void ZuReverb::setParameter(int32_t index, float value) {
    if (index < 0 || index >= count_) {
        report("unknown parameter called in ZuBreverb");
        return;
    }
    values_[index] = value;
    switch (index) {
    case 0: room_ = value * 0.28f + 0.7f; break;
    case 1:
        wet_ = value * 3.0f;
        update();
        break;
    case 2:
        damp1_ = value * 0.4f;
        update();
        break;
    case 3:
        width_ = value;
        update();
        break;
    case 4:
        leftFilter_->setCutoff(value);
        rightFilter_->setCutoff(value);
        break;
    default: break;
    }
}

void ZuReverb::update() {
    wet1_ = wet_ * (width_ * 0.5f + 0.5f);
    wet2_ = wet_ * ((1.0f - width_) * 0.5f);
    damp2_ = 1.0f - damp1_;
}

void ZuReverb::reset() {
    settled_ = false;
    steadyFrames_ = 0;
    leftFilter_->clearState();
    rightFilter_->clearState();
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < kCombs; ++j) {
            std::memset(comb_[c][j], 0, kCombLength[c][j] * sizeof(float));
            combState_[c][j] = 0.0f;
            combIndex_[c][j] = 0;
        }
        for (int a = 0; a < kAllPasses; ++a) {
            std::memset(allPass_[c][a], 0, kAllPassLength[c][a] * sizeof(float));
            allPassIndex_[c][a] = 0;
        }
    }
}

void ZuReverb::setMix(float mix) {
    mix_ = mix * mix * mix;
    wetGain_ = mix;
    dryGain_ = 1.0f - mix;
}

void ZuReverb::getParameterDisplay(int32_t index, float value, char* text) {
    writePercentDisplay(index, value, text);
}

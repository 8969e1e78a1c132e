#include "engine/Engine.h"

#include <cmath>

#include "engine/SendEffect.h"
#include "engine/StereoLanes.h"

namespace {
// A non-finite input sample would poison every filter state and, through
// feedback, the delay and reverb lines for good; it counts as silence.
inline float finiteOrZero(float x) { return std::isfinite(x) ? x : 0.0f; }
} // namespace

double Engine::resolveHostTempo(bool hasTimeInfo, double hostTempo, double storedTempo) {
    if (!hasTimeInfo || std::isnan(hostTempo)) return storedTempo;
    const double t = hostTempo < kMinHostTempo ? kMinHostTempo : hostTempo;
    // A tempo of 500 or more is never stored; taken as it stands it would
    // reset both send effects at every control block while it lasts.
    return t < 500.0 ? t : storedTempo;
}

void Engine::process(float** inputs, float** outputs, int32_t n, double hostTempo) {
    // Without a left output nothing can be written: handled like no samples.
    if (n < 0 || !outputs || !outputs[0]) n = 0;
    float* outL = outputs ? outputs[0] : nullptr;
    float* outR = outputs ? outputs[1] : nullptr;
    const float* inL = inputs ? inputs[0] : nullptr;
    const float* inR = inputs ? inputs[1] : nullptr;

    for (int32_t i = 0; i < n;) {
        if (ctx.controlCounter >= kControlBlockSize) controlBlock(outL, outR, i, hostTempo);
        const int32_t left = kControlBlockSize - ctx.controlCounter;
        const int32_t m = n - i < left ? n - i : left;
        processStretch(inL, inR, outL, outR, i, m);
        ctx.controlCounter += m;
        i += m;
    }
    finishStretch(outL, outR, n);
}

void Engine::finishStretch(float* outLeft, float* outRight, int32_t end) {
    const int32_t k = sends.count;
    if (k <= 0) return;
    float* const left = outLeft + (end - k);
    float* const right = outRight ? outRight + (end - k) : nullptr;
    if (delay_ && reverb_ && right && right != left) {
        // The reverb first, so that the output stage can run in the delay's
        // loop, where its DC blocker's wait overlaps the delay's work.
        reverb_->process(sends.reverbL, sends.reverbR, k);
        OutputStage::Run mix(output, left, right, sends.reverbL, sends.reverbR);
        delay_->processInto(sends.delayL, sends.delayR, k, mix);
        mix.store();
    } else if (delay_ && reverb_) {
        sends.runEffects(*delay_, *reverb_);
        const EffectReturns returns = sends.returns();
        output.finish(left, right, k, &returns);
    } else {
        output.finish(left, right, k, nullptr);
    }
    sends.count = 0;
}

ORVEL_ALIGN_STACK void Engine::processStretch(const float* inL, const float* inR, float* outLeft, float* outRight,
                                              int32_t i, int32_t n) {
    StereoSample* const x = chain_;
    // Every input is read before any output is written: the host may pass the same buffers.
    for (int32_t j = 0; j < n; ++j)
        x[j] = {inL ? finiteOrZero(inL[i + j]) : 0.0f, inR ? finiteOrZero(inR[i + j]) : 0.0f};
    const int32_t source = controls.meterSource;
    const bool knownSource = source >= kMeterCompressorOutLeft && source <= kMeterOutputPeak;
    if (!knownSource)
        for (int32_t j = 0; j < n; ++j) meterSource_[j] = x[j].l;

    // Gate, preamp stage and compressor, with the editor's meter of the
    // compressor input held in their loop.
    EngineMeters& m = meters;
    PeakHold compressorHold = m.compressorInputHold;
    const float decay400 = ctx.constants.meterDecay400;
    dynamics.process(x, n, source == kMeterOverdriveOutLeft ? meterSource_ : nullptr,
                     [&](float left) { compressorHold.process(softClip(left), decay400); });
    m.compressorInputHold = compressorHold;
    m.compressorInput = compressorHold.held;
    if (source == kMeterCompressorOutLeft)
        for (int32_t j = 0; j < n; ++j) meterSource_[j] = x[j].l;
    // The equaliser, the dry signal's soft clip and 30 Hz high-pass
    // (FirstOrderHighPass::processDivide in each lane), the follower's
    // detector and the resonant filter, in one loop, so that their recursions
    // overlap from frame to frame.
    DynamicEq::Run eq(equaliser);
    EnvelopeFollower::Run follower(modulation.follower());
    ResonantFilter::Run resonant(filter);
    const FirstOrderCoefficients& hp = ctx.constants.outputHighPass;
    const __m128 gMinus1 = _mm_set1_ps(hp.gMinus1), gPlus1 = _mm_set1_ps(hp.gPlus1);
    __m128 prev = _mm_unpacklo_ps(_mm_set_ss(outputHighPass[0].vPrev), _mm_set_ss(outputHighPass[1].vPrev));
    const bool keepEqualiserOut = source == kMeterEqualiserOutLeft;
    // The selectable meter's hold steps in this loop too, unless its source
    // is only known after the routing.
    const bool holdSelectableHere = source != kMeterSendSumLeft && source != kMeterOutputPeak;
    PeakHold selectableHold = m.selectableHold;
    const float decay800 = ctx.constants.meterDecay800;
    // One loop for each setting of the equaliser's switch and the filter's
    // type, so that neither is asked again frame by frame.
    const auto run = [&]<bool EqOn, FilterType Type>() {
        for (int32_t j = 0; j < n; ++j) {
            const __m128 equalised = eq.step<EqOn>(toLanes(x[j]));
            if (keepEqualiserOut) meterSource_[j] = _mm_cvtss_f32(equalised);
            if (holdSelectableHere) selectableHold.process(meterSource_[j], decay800);
            const __m128 v = highPassStateLanes<true>(softClipLanes(equalised), prev, gMinus1, gPlus1);
            const __m128 dry = _mm_sub_ps(v, prev);
            prev = v;
            x[j] = fromLanes(dry);
            follower.step(detectorLanes(dry));
            filtered_[j] = fromLanes(resonant.step<Type>(dry));
        }
    };
    const auto withType = [&]<bool EqOn>() {
        switch (resonant.type()) {
        case kFilterHighPass: run.template operator()<EqOn, kFilterHighPass>(); break;
        case kFilterBandPass: run.template operator()<EqOn, kFilterBandPass>(); break;
        default: run.template operator()<EqOn, kFilterLowPass>(); break;
        }
    };
    if (eq.on()) withType.template operator()<true>();
    else withType.template operator()<false>();
    eq.store();
    follower.store();
    resonant.store();
    outputHighPass[0].vPrev = _mm_cvtss_f32(prev);
    outputHighPass[1].vPrev = _mm_cvtss_f32(_mm_shuffle_ps(prev, prev, _MM_SHUFFLE(1, 1, 1, 1)));

    routeStretch(outLeft, outRight, i, n, source);

    if (!holdSelectableHere)
        for (int32_t j = 0; j < n; ++j) selectableHold.process(meterSource_[j], decay800);
    m.selectableHold = selectableHold;
    m.selectable = selectableHold.held;
}

ORVEL_ALIGN_STACK void Engine::routeStretch(float* outLeft, float* outRight, int32_t i, int32_t n, int32_t source) {
    const EngineControls& c = controls;
    const StereoSample* const main = c.mainFiltered ? filtered_ : chain_;
    const StereoSample* const send = c.sendFiltered ? filtered_ : chain_;
    ParamRamp dLevel = delayLevel, dPower = delayPower, rLevel = reverbLevel, rPower = reverbPower, mute = dryMute;
    const int32_t at = sends.count;
    float peak = meters.outputPeak;
    // Four frames at a time, left and right apart, the same products lane by
    // lane; each of dl .. g maps a frame j to the ramp's values for j .. j + 3.
    int32_t j = 0;
    const auto route = [&](auto dl, auto dp, auto rl, auto rp, auto g) {
        const auto load = [](const StereoSample* f, __m128& l, __m128& r) {
            const __m128 a = _mm_loadu_ps(&f[0].l), b = _mm_loadu_ps(&f[2].l);
            l = _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
            r = _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
        };
        for (; j + 4 <= n; j += 4) {
            __m128 sl, sr, ml, mr;
            load(send + j, sl, sr);
            load(main + j, ml, mr);
            const __m128 delayLevels = dl(j), delayPowers = dp(j), reverbLevels = rl(j), reverbPowers = rp(j);
            _mm_storeu_ps(sends.delayL + at + j, _mm_mul_ps(_mm_mul_ps(sl, delayLevels), delayPowers));
            _mm_storeu_ps(sends.delayR + at + j, _mm_mul_ps(_mm_mul_ps(sr, delayLevels), delayPowers));
            _mm_storeu_ps(sends.reverbL + at + j, _mm_mul_ps(_mm_mul_ps(sl, reverbLevels), reverbPowers));
            _mm_storeu_ps(sends.reverbR + at + j, _mm_mul_ps(_mm_mul_ps(sr, reverbLevels), reverbPowers));
            const __m128 gains = g(j);
            const __m128 directL = _mm_mul_ps(ml, gains), directR = _mm_mul_ps(mr, gains);
            _mm_storeu_ps(outLeft + i + j, directL);
            if (outRight) _mm_storeu_ps(outRight + i + j, directR);
            if (source == kMeterSendSumLeft)
                _mm_storeu_ps(meterSource_ + j,
                              _mm_add_ps(_mm_mul_ps(sl, delayLevels), _mm_mul_ps(sl, reverbLevels)));
            if (source == kMeterOutputPeak)
                _mm_storeu_ps(meterSource_ + j, selectLanes(_mm_cmpgt_ps(directL, directR), directL, directR));
        }
        if (j == n) {
            // The peak of the last frame, whose gain is lane 3 of the last four.
            const __m128 last = g(n - 4);
            const float gain = _mm_cvtss_f32(_mm_shuffle_ps(last, last, _MM_SHUFFLE(3, 3, 3, 3)));
            const float directL = main[n - 1].l * gain;
            const float directR = main[n - 1].r * gain;
            peak = directL > directR ? directL : directR;
        }
    };
    if (n > 0 && allSettled(dLevel, dPower, rLevel, rPower, mute)) {
        // Settled ramps give one value each until the next control block.
        const __m128 dl = _mm_set1_ps(dLevel.next()), dp = _mm_set1_ps(dPower.next());
        const __m128 rl = _mm_set1_ps(rLevel.next()), rp = _mm_set1_ps(rPower.next());
        const __m128 g = _mm_set1_ps(mute.next());
        const auto same = [](__m128 v) { return [v](int32_t) { return v; }; };
        route(same(dl), same(dp), same(rl), same(rp), same(g));
    } else if (n >= 4) {
        // Moving ramps step frame by frame as always; the products then run in lanes.
        float dl[kControlBlockSize], dp[kControlBlockSize], rl[kControlBlockSize], rp[kControlBlockSize],
            g[kControlBlockSize];
        const int32_t whole = n & ~3;
        for (int32_t f = 0; f < whole; ++f) {
            dl[f] = dLevel.next();
            dp[f] = dPower.next();
            rl[f] = rLevel.next();
            rp[f] = rPower.next();
            g[f] = mute.next();
        }
        const auto from = [](const float* values) { return [values](int32_t f) { return _mm_loadu_ps(values + f); }; };
        route(from(dl), from(dp), from(rl), from(rp), from(g));
    }
    for (; j < n; ++j) {
        const float dl = dLevel.next();
        const float dp = dPower.next();
        const float rl = rLevel.next();
        const float rp = rPower.next();
        const StereoSample s = send[j];
        sends.delayL[at + j] = s.l * dl * dp;
        sends.delayR[at + j] = s.r * dl * dp;
        sends.reverbL[at + j] = s.l * rl * rp;
        sends.reverbR[at + j] = s.r * rl * rp;

        const float g = mute.next();
        const float directL = main[j].l * g;
        const float directR = main[j].r * g;
        outLeft[i + j] = directL;
        if (outRight) outRight[i + j] = directR;
        peak = directL > directR ? directL : directR;
        if (source == kMeterSendSumLeft) meterSource_[j] = s.l * dl + s.l * rl;
        if (source == kMeterOutputPeak) meterSource_[j] = peak;
    }
    sends.count = at + n;
    meters.outputPeak = peak;
    delayLevel = dLevel;
    delayPower = dPower;
    reverbLevel = rLevel;
    reverbPower = rPower;
    dryMute = mute;
}

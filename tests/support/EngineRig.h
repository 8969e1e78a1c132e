// The engine with recording send effects, for what a host cannot see: the
// calls into the effects, the flushes and where the returns land.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effects/ZuEffect.h"
#include "engine/Engine.h"
#include "engine/ZuBPMChangeInterface.h"
#include "params/ParameterModel.h"
#include "params/ParameterTable.h"

// Logs every call; process writes a running sample number (1, 2, ...) times
// returnScale into both buffers, so a return shows which send produced it.
class RecordingEffect : public ZuEffect {
public:
    RecordingEffect(EngineContext* ctx, int32_t count, const char* name, std::vector<std::string>& log)
        : ZuEffect(ctx, count), name_(name), log_(log) {}

    void process(float* left, float* right, int32_t count) override {
        log_.push_back(name_ + ".process(" + std::to_string(count) + ")");
        for (int32_t j = 0; j < count; ++j) {
            lastSendsLeft.push_back(left[j]);
            ++processed;
            left[j] = returnScale * static_cast<float>(processed);
            right[j] = returnScale * static_cast<float>(processed);
        }
    }
    void setParameter(int32_t index, float value) override {
        log_.push_back(name_ + ".set(" + std::to_string(index) + ")");
        lastSet[index] = value;
        ZuEffect::setParameter(index, value);
    }
    void setMode(int32_t which, int32_t value) override {
        log_.push_back(name_ + ".mode(" + std::to_string(which) + "," + std::to_string(value) + ")");
    }
    void reset() override { log_.push_back(name_ + ".reset"); }
    void update() override { log_.push_back(name_ + ".update"); }
    void timingChanged(bool keep) override { log_.push_back(name_ + ".timing(" + (keep ? "1" : "0") + ")"); }
    int32_t clear() override {
        log_.push_back(name_ + ".clear");
        return 1;
    }
    void setMix(float m) override {
        log_.push_back(name_ + ".mix");
        ZuEffect::setMix(m);
    }

    float returnScale = 0.0f;
    int64_t processed = 0;
    float lastSet[8] = {};
    std::vector<float> lastSendsLeft;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class RecordingListener : public ZuBPMChangeInterface {
public:
    explicit RecordingListener(std::vector<std::string>& log) : log_(log) {}
    void tempoChanged() override { log_.push_back("listener"); }

private:
    std::vector<std::string>& log_;
};

struct EngineRig {
    EngineRig()
        : delay(&engine.ctx, 4, "delay", log), reverb(&engine.ctx, 5, "reverb", log), table(engine.cell),
          model(engine, table, reverb) {
        engine.attach(&delay, &reverb, &model);
        engine.configureEffects();
        model.recompute(false);
        log.clear();
    }

    void set(int32_t tag, float v) { model.setParameter(tag, v); }
    // Processes n samples of the given constant input into out (both channels).
    void run(int32_t n, std::vector<float>& outL, std::vector<float>& outR, float input = 0.0f, double tempo = 120.0) {
        std::vector<float> inL(static_cast<size_t>(n), input), inR(static_cast<size_t>(n), input);
        outL.assign(static_cast<size_t>(n), 0.0f);
        outR.assign(static_cast<size_t>(n), 0.0f);
        float* ins[2] = {inL.data(), inR.data()};
        float* outs[2] = {outL.data(), outR.data()};
        engine.process(ins, outs, n, tempo);
    }
    void run(int32_t n, float input = 0.0f, double tempo = 120.0) {
        std::vector<float> l, r;
        run(n, l, r, input, tempo);
    }

    std::vector<std::string> log;
    Engine engine;
    RecordingEffect delay;
    RecordingEffect reverb;
    ParameterTable table;
    ParameterModel model;
};

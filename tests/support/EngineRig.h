// The engine with recording send effects, for what a host cannot see: the
// calls into the effects and the values they are given.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "effects/ZuEffect.h"
#include "engine/Engine.h"
#include "params/ParameterModel.h"
#include "params/ParameterTable.h"

// Logs every call and keeps the last value of each parameter; its process
// leaves the buffers as they are.
class RecordingEffect : public ZuEffect {
public:
    RecordingEffect(EngineContext* ctx, int32_t count, const char* name, std::vector<std::string>& log)
        : ZuEffect(ctx, count), name_(name), log_(log) {}
    void process(float*, float*, int32_t count) override { note("process(" + std::to_string(count) + ")"); }
    void setParameter(int32_t index, float value) override {
        note("set(" + std::to_string(index) + ")");
        lastSet[index] = value;
        ZuEffect::setParameter(index, value);
    }
    void setMode(int32_t which, int32_t value) override {
        note("mode(" + std::to_string(which) + "," + std::to_string(value) + ")");
    }
    void reset() override { note("reset"); }
    void update() override { note("update"); }
    void timingChanged(bool keep) override { note(std::string("timing(") + (keep ? "1" : "0") + ")"); }
    int32_t clear() override {
        note("clear");
        return 1;
    }
    void setMix(float m) override {
        note("mix");
        ZuEffect::setMix(m);
    }
    float lastSet[8] = {};

private:
    void note(const std::string& call) { log_.push_back(name_ + "." + call); }
    std::string name_;
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
    // Processes n samples of silence.
    void run(int32_t n) {
        std::vector<float> inL(static_cast<size_t>(n)), inR(inL), outL(inL), outR(inL);
        float* ins[2] = {inL.data(), inR.data()};
        float* outs[2] = {outL.data(), outR.data()};
        engine.process(ins, outs, n, 120.0);
    }

    std::vector<std::string> log;
    Engine engine;
    RecordingEffect delay;
    RecordingEffect reverb;
    ParameterTable table;
    ParameterModel model;
};

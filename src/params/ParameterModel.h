// The one operation that applies a normalised value: it stores the value in
// its cell, derives the engine quantities, reports the editor switches to its
// listener and runs their cascades. It also owns recompute, which rebuilds
// everything from the stored values.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/RecomputeHandler.h"
#include "params/ParameterListener.h"

class Engine;
class ParameterTable;
class SendEffect;

class ParameterModel : public RecomputeHandler {
public:
    ParameterModel(Engine& engine, ParameterTable& table, SendEffect& reverb);
    virtual ~ParameterModel() = default;

    // Who shows the switches' groups; null while there is none.
    void setListener(ParameterListener* listener) { listener_ = listener; }

    // Tags without a record are ignored.
    void setParameter(int32_t tag, float value);
    // The part of setParameter that is safe on the audio thread: the value,
    // its engine quantities and what they cascade to in the engine. What the
    // editor shows of it (the sections' visibility, refreshes, the copy of
    // efinvert) follows with followInEditor on the user-interface thread.
    void setFromController(int32_t tag, float value);
    void followInEditor(int32_t tag);
    float getParameter(int32_t index) const; // host parameters 0..37, else 0

    // Context from the host-visible rate, engine constants, send effects
    // reset, meter decay, then every stored value re-applied in a fixed order.
    void recompute(bool flag) override;

    // The order recompute re-applies the values in: later mappings read what
    // earlier ones set.
    static const int32_t kRecomputeOrder[48];

private:
    void applyEngineQuantity(int32_t tag, float v);
    void applyEngineSideEffects(int32_t tag, float v);
    void applyEditorSideEffects(int32_t tag, float v);
    void applyVisibility(int32_t tag, float state);
    void reapply(int32_t tag);
    void refreshFilterFlow();
    void requestRefresh();
    bool maskBit(int bit) const;

    Engine& engine_;
    ParameterTable& table_;
    SendEffect& reverb_;
    ParameterListener* listener_ = nullptr;
    // Recompute on the audio thread and the host's calls both test and set it.
    std::atomic<float> lastEfInvert_{0.0f};
};

// Values the editor reads from the engine: meters and indicators.
#pragma once

#include <cstdint>

#include "engine/BuildingBlocks.h"

enum MeterSource : int32_t {
    kMeterInputLeft = 0,
    kMeterCompressorOutLeft,
    kMeterOverdriveOutLeft,
    kMeterEqualiserOutLeft,
    kMeterSendSumLeft,
    kMeterOutputPeak,
};

struct EngineMeters {
    PeakHold compressorInputHold; // 400 ms on softClip of the left compressor input
    PeakHold selectableHold;      // 800 ms on the source that `List` selects
    float compressorInput = 0.0f;
    float outputPeak = 0.0f;      // larger direct-output sample, before returns and master
    float selectable = 0.0f;
    float selectableDisplay = 0.0f; // follows `selectable` once per control block
    float gateOpen = 0.0f;
    // e^1.5 of each send's clamped level, before the factor `fx_return`
    float delaySendLevel = 0.0f;
    float reverbSendLevel = 0.0f;
};

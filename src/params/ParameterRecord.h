// The descriptor of one parameter or editor switch.
#pragma once

#include <cstdint>

enum ParameterStyle : int32_t { kStyleContinuous = 1, kStyleSwitch = 2 };

struct ParameterRecord {
    int32_t recordId = -1;  // key in stored states; -1: never stored
    int32_t tag = -1;       // the number setParameter takes
    float* value = nullptr; // engine cell holding the normalised value
    float randomRange = 0.0f;
    const char* name = "";
    const char* unitLabel = "";
    int32_t style = kStyleContinuous;
    int32_t positions = 0; // a switch-style record's number of states: 2, or 3 for a selector
};

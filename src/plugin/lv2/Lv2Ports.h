// The LV2 plug-in's ports and how a control port's value maps onto the
// normalised value of its parameter. Switches show their states on the port:
// 0/1 for a two-state switch, 0/1/2 for a selector, which stand for the
// normalised values 0, 0.5 and 1 that select those states.
#pragma once

#include <cstdint>

namespace lv2port {

enum : uint32_t { kInLeft = 0, kInRight, kOutLeft, kOutRight, kControl, kFirstParameter };
constexpr uint32_t kParameterCount = 38;
constexpr uint32_t kCount = kFirstParameter + kParameterCount;

// index: the parameter's; positions: 0 for a continuous parameter, else the
// switch's number of states. A switch's state is the one the engine takes.
int32_t stateOf(int32_t index, float normalised, int32_t positions);
float normalisedOf(float portValue, int32_t positions);
float portValueOf(int32_t index, float normalised, int32_t positions);

} // namespace lv2port

// The plug-in's state layout (the host chunk and the body of a .zuo preset
// file): little-endian 32-bit words, read here with every length checked
// against the data, and written in the current layout.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct ControllerTarget {
    int32_t target = 0;    // the tag of the parameter
    int32_t subTarget = 0;
    bool operator==(const ControllerTarget&) const = default;
};

struct StoredValue {
    int32_t recordId = 0;
    float value = 0.0f;
};

constexpr int32_t kStateMagic = 26101977;
constexpr int32_t kProductVersion = 4;
constexpr int32_t kProductCode = 41;
constexpr int kControllers = 128;

struct PresetState {
    int32_t totalWords = 0;
    int32_t productVersion = kProductVersion;
    float tempo = 120.0f;
    float sampleRate = 44100.0f;
    int32_t stateKind = 1;
    int32_t layoutVersion = 4;
    std::vector<StoredValue> values;                                // in stored order
    std::array<std::vector<ControllerTarget>, kControllers> ccMap; // per controller number
    std::string name;
    int32_t tailVersion = 16;
    int32_t program = 0;
    int32_t folder = 0;
    std::vector<ControllerTarget> extraAssignments;
};

// Parses a whole layout; throws CliError with a message naming what is wrong
// (the caller adds the file name). Bytes past the stated length are ignored.
PresetState parseStateLayout(const std::vector<uint8_t>& bytes);

// The current layout (layout 4, tail 16) for a state; totalWords is computed.
std::vector<uint8_t> writeStateLayout(const PresetState& state);

// The text form of an Orvel preset: what `orvel preset dump` prints and
// `orvel preset build` reads, and the form the factory presets are written in.
//
// One item per line; blank lines and lines whose first non-blank character
// is '#' are ignored. Every item is KEY = VALUE:
//
//   name = Warm Room         the preset name (required; may be empty). The
//                            escapes \\ and \xHH stand for a backslash and any
//                            byte (dump writes control bytes and blanks at
//                            either end this way)
//   tempo = 120              the tempo stored with the preset, BPM (optional;
//                            a build without it stores the plug-in's tempo)
//   program = 0              the stored program position and preset folder
//   folder = 0               (optional, 0 when absent; dump prints them only
//                            when they are not 0)
//   master = 0.615           a stored parameter by its key, normalised 0..1;
//                            each key at most once. A build gives every key
//                            the text does not list the plug-in's initial value
//   cc 74 = filter_cutoff    MIDI controller 74 (0..127) drives a target: a
//   cc 74 = filter_reso 1    parameter key or a tag number, optionally followed
//                            by a sub-target number; a controller's lines keep
//                            their order
//   extra = master           an extra controller assignment (target [sub-target])
//
// Dump prints name, tempo, the parameters in the order the state stores
// them, then the controller map and the extra assignments, with values in
// the shortest form that reads back to the same float, so building a dumped
// text and dumping the result gives the same text.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "StateLayout.h"
#include "params/ParameterRecord.h"

struct PresetText {
    std::string name;
    std::optional<float> tempo;
    std::optional<int32_t> program;
    std::optional<int32_t> folder;
    std::vector<std::pair<const ParameterRecord*, float>> values; // in text order
    std::array<std::vector<ControllerTarget>, kControllers> ccMap;
    std::vector<ControllerTarget> extraAssignments;
};

// Throws CliError "SOURCE:LINE: what is wrong".
PresetText parsePresetText(const std::string& text, const std::string& source);

std::string formatPresetText(const PresetState& state);

// The shortest decimal text that reads back as the same float.
std::string shortestFloat(float v);

// A state layout read whole and checked before anything of it is applied:
// the reader never trusts the words, stops at the end of the data, and tells
// which sections arrived complete.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "plugin/ControllerMap.h"

class ZuChunk;

constexpr int32_t kProductVersion = 4;
constexpr int32_t kStateKind = 1;
constexpr int32_t kLayoutVersion = 4;
constexpr int32_t kProductCode = 41;
constexpr int32_t kTailVersion = 16;
constexpr int32_t kEndOfParameters = -1;
constexpr int32_t kEndOfController = -2;
constexpr int32_t kEndOfControllerMap = -3;
constexpr int32_t kEndOfExtraAssignments = -4;

struct StoredValue {
    int32_t recordId = 0;
    float value = 0.0f;
};

struct StoredState {
    int32_t layoutVersion = 0;
    std::vector<StoredValue> values; // in layout order, unknown ids included

    // Each section below is there only when it and everything before it
    // arrived whole; a layout that ends early simply lacks the later ones.
    bool hasControllerMap = false;
    std::array<ControllerList, kControllerCount> controllerMap; // numbers outside 0..127 dropped
    bool hasNameWord = false;
    bool nameRead = false; // the name-present word was above 0 and the string arrived
    std::string name;
    bool hasTailVersion = false;
    int32_t tailVersion = 0;
    bool hasProgram = false; // the program number (tail versions 10..16)
    int32_t program = 0;
    bool hasFolder = false;  // the folder index (tail versions 11..16)
    int32_t folder = 0;
    bool hasExtraAssignments = false; // tail version 14 on, count, entries and end word read
    ControllerList extraAssignments;
};

// Reads the layout at the start of the chunk into out. False when it is to be
// rejected: wrong magic, wrong state kind, wrong layout version or product
// code, or data that ends (or breaks off with a record length below 1)
// before the end-of-parameters word. Unless quiet, a rejection tells the user
// through an alert or notice box.
bool parseStoredState(ZuChunk& chunk, bool quiet, StoredState& out);

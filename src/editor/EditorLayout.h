// What the editor's panel holds: every control and every display with its
// tag, place, image strip and group, as data. The editor builds its views
// from these tables when it opens.
#pragma once

#include <cstdint>
#include <span>

#include "gui/GuiTypes.h"

namespace layout {

enum class ControlKind {
    Knob,       // rotary, dragged vertically
    Slider,     // vertical fader, dragged vertically
    HSlider,    // horizontal fader, dragged horizontally
    Button,
    Menu,       // a selector pop-up
    PresetMenu, // the preset file browser
    Link,       // opens the manual
};

enum ButtonMode : int32_t { kMomentary = 0, kStepping = 1 };

struct ControlSpec {
    int32_t tag;
    ControlKind kind;
    CRect rect;
    int32_t strip;  // bitmap id, 0 for none
    int32_t group;
    int32_t states; // images of the strip; for buttons and menus the number of states
    int32_t mode;   // buttons: ButtonMode
};

// Where a display's number comes from.
enum class Source {
    None,    // nothing (a cover image or the info display)
    Cell,    // a parameter's normalised value, by tag
    Readout, // a value the editor derives from the engine at every idle tick
};

enum class DisplayKind {
    Number, // scale x value + offset, printed with width, precision and unit
    Image,  // the strip image the value selects
    Info,   // the info text of the control under the mouse
};

// Values derived at every idle tick (the meters and the displays' engine
// quantities in the units they are shown in).
enum Readout : int32_t {
    kLfoRateIndicator,     // LFO rate / 12 Hz
    kReverbSendDb,         // 20 log10(e^1.5 + 1e-8)
    kDelaySendDb,
    kReductionFraction,    // p / 34 of the compressor reduction
    kReductionComplement,  // 1 - p / 34
    kCompressorInputMeter, // 0..31.9
    kOutputMeter,          // 0..64
    kGateOpen,             // 0 or 1
    kGateThresholdDb,
    kGateHoldMs,
    kPreampGainDb,
    kHighPassHz,
    kDrive,
    kCompressionPercent,   // amount v^3 in percent
    kReleaseMs,
    kMasterDb,
    kLfoRateHz,
    kFollowerHoldMs,
    kFollowerLevel,        // the envelope, 0..1
    kDelayStep,            // step of the stepped delay time / 13, 0..1
    kHighLevelDb,
    kMidLevelDb,
    kLowLevelDb,
    kHighHoldMs,
    kMidHoldMs,
    kLowHoldMs,
    kReadoutCount
};

struct DisplaySpec {
    int32_t tag;
    CRect rect;
    int32_t group;
    DisplayKind kind;
    Source source;
    int32_t index;        // the tag (Cell) or the Readout
    float scale, offset;  // shown = value x scale + offset; images take it as 0..1
    const char* unit;
    int32_t width, precision;
    int32_t strip;        // Number: background bitmap, 0 for none; Image and Info: the strip
    int32_t images;
    CHoriTxtAlign align;
    int32_t fontSize = 12; // pixels; smaller where the panel leaves a narrow box
};

std::span<const ControlSpec> controls();
std::span<const DisplaySpec> displays();
const ControlSpec* controlFor(int32_t tag);
const DisplaySpec* displayFor(int32_t tag);

// What a double click or control-click sets a knob to: unity for the gains
// (master, preamp gain, the band levels), otherwise the value the plug-in
// starts with from its factory default preset.
float resetValueFor(int32_t tag);

// Knob drag sensitivity: 1.0 for the response slider, 0.5 for all others.
float sensitivityFor(int32_t tag);

// The entry texts of the selector menus (their values count from 0).
std::span<const char* const> menuEntries(int32_t tag);

// The frame's size and background.
constexpr CCoord kWidth = 682;
constexpr CCoord kHeight = 425;
constexpr int32_t kBackgroundBitmap = 1000;
constexpr int32_t kPresetMenuTag = 76;
constexpr int32_t kManualLinkTag = 99;
constexpr int32_t kInfoLineTag = 100;
constexpr int32_t kPresetMenuStyle = 0x49F8;

} // namespace layout

// Every bitmap of the skin: id, size, how many images its strip holds, what
// it shows and where on the panel it sits (the place whose background the
// images are drawn over, so that opaque blits match the panel).
#pragma once

#include <string>
#include <vector>

enum class Look {
    Background, // the whole panel
    Knob,       // rotary knob: pointer and value arc
    VSlider,    // vertical fader: cap on a scaled track
    HSlider,    // horizontal fader
    Display,    // recessed value display background
    TitleDisplay,
    OutputMeter, // needle meter
    Cover,       // shown while a section is switched off
    RateLamp,    // arc gauge for a modulation rate
    RoundMeter,  // lamp that brightens with the level
    ReductionMeter,
    TextStates, // a button or menu showing one word per state
    Arrow,      // previous / next / up / down arrows, normal and pressed
    HelpButton,
    Led,
};

struct SkinEntry {
    int id;
    int width, height;
    int images; // stacked vertically
    Look look;
    int left, top; // place on the panel; -1 when the image has no fixed place
    unsigned accent;
    std::vector<std::string> words; // label (knobs, sliders, covers) or one word per state
    bool labelAtLeft = false;       // the label starts at the control's left instead of centring on it
};

// Section colours.
constexpr unsigned kGate = 0x5cd67a, kPreamp = 0xf0a040, kComp = 0xe8c850, kMulti = 0x4cc8e8, kFilter = 0xb07cf0,
                   kDelay = 0x5c9cf0, kReverb = 0x40d0b0, kMod = 0xf06cb0, kMaster = 0xf06a50, kNeutral = 0xd8dce2;

// Words the panel's background carries besides the section titles: a label
// kLabelRaise above every knob and slider, and the headings below. The
// multiband compression labels start at the knob's left: their band's hold
// time shares the row.
constexpr float kLabelSize = 7.5f, kLabelRaise = 2.5f;

enum class SkinAlign { Left, Centre, Right };

struct SkinWord {
    const char* text;
    float x, baseline, size; // x is the left, centre or right by align
    SkinAlign align;
    unsigned colour; // 0 for the dim label grey
};

inline const std::vector<SkinWord>& panelWords() {
    static const std::vector<SkinWord> words = {
        {"PRESET", 75, 20, 8, SkinAlign::Centre, 0},
        {"FILTER", 444, 86, 7, SkinAlign::Centre, kFilter},
        {"MODULATION", 569, 86, 7, SkinAlign::Centre, kMod},
        {"HI", 321, 213, 7, SkinAlign::Centre, 0},
        {"MID", 321, 294, 7, SkinAlign::Centre, 0},
        {"LO", 321, 373, 7, SkinAlign::Centre, 0},
    };
    return words;
}

inline const std::vector<SkinEntry>& skinTable() {
    static const std::vector<SkinEntry> table = {
        {1000, 682, 425, 1, Look::Background, 0, 0, kNeutral, {}},
        // knobs: 96 images of 52 x 52
        {1044, 52, 4992, 96, Look::Knob, 490, 344, kMaster, {"MASTER"}},
        {1027, 52, 4992, 96, Look::Knob, 20, 265, kGate, {"THRESH"}},
        {1026, 52, 4992, 96, Look::Knob, 20, 344, kGate, {"SPEED"}},
        {1053, 52, 4992, 96, Look::Knob, 100, 184, kPreamp, {"GAIN"}},
        {1035, 52, 4992, 96, Look::Knob, 100, 265, kPreamp, {"LOW CUT"}},
        {1051, 52, 4992, 96, Look::Knob, 100, 344, kPreamp, {"DRIVE"}},
        {1009, 52, 4992, 96, Look::Knob, 180, 265, kComp, {"AMOUNT"}},
        {1008, 52, 4992, 96, Look::Knob, 180, 344, kComp, {"SPEED"}},
        {1033, 52, 4992, 96, Look::Knob, 260, 184, kMulti, {"COMP"}, true},
        {1034, 52, 4992, 96, Look::Knob, 330, 184, kMulti, {"HI LEVEL"}},
        {1045, 52, 4992, 96, Look::Knob, 260, 265, kMulti, {"COMP"}, true},
        {1046, 52, 4992, 96, Look::Knob, 330, 265, kMulti, {"MID LEVEL"}},
        {1041, 52, 4992, 96, Look::Knob, 260, 344, kMulti, {"COMP"}, true},
        {1042, 52, 4992, 96, Look::Knob, 330, 344, kMulti, {"LO LEVEL"}},
        {1023, 52, 4992, 96, Look::Knob, 410, 344, kMaster, {"FX RETURN"}},
        // vertical sliders: 128 images of 24 x 82
        {1021, 24, 10496, 128, Look::VSlider, 412, 99, kFilter, {"FREQ"}},
        {1022, 24, 10496, 128, Look::VSlider, 451, 99, kFilter, {"RESO"}},
        {1012, 24, 10496, 128, Look::VSlider, 412, 211, kDelay, {"TIME"}},
        {1010, 24, 10496, 128, Look::VSlider, 451, 211, kDelay, {"FDBK"}},
        {1011, 24, 10496, 128, Look::VSlider, 490, 211, kDelay, {"LEVEL"}},
        {1058, 24, 10496, 128, Look::VSlider, 559, 211, kReverb, {"ROOM"}},
        {1056, 24, 10496, 128, Look::VSlider, 598, 211, kReverb, {"DECAY"}},
        {1057, 24, 10496, 128, Look::VSlider, 637, 211, kReverb, {"LEVEL"}},
        {1017, 24, 10496, 128, Look::VSlider, 559, 100, kMod, {"AMOUNT"}},
        {1018, 24, 10496, 128, Look::VSlider, 598, 100, kMod, {"SPEED"}},
        {1039, 24, 10496, 128, Look::VSlider, 559, 100, kMod, {"AMOUNT"}},
        {1040, 24, 10496, 128, Look::VSlider, 598, 100, kMod, {"SPEED"}},
        // horizontal sliders
        {1061, 126, 3968, 128, Look::HSlider, 260, 89, kMulti, {"SPLIT"}},
        {1014, 88, 3328, 128, Look::HSlider, 306, 125, kMulti, {"RESPONSE"}},
        // displays and meters
        {1004, 51, 16, 1, Look::Display, -1, -1, kNeutral, {}},
        {1050, 51, 16, 1, Look::Display, -1, -1, kComp, {}},
        {1068, 266, 76, 4, Look::TitleDisplay, 170, 25, kNeutral, {}},
        {1043, 84, 3055, 65, Look::OutputMeter, 574, 343, kMaster, {}},
        {1007, 10, 3400, 34, Look::ReductionMeter, 189, 99, kComp, {}},
        {1030, 28, 896, 32, Look::RoundMeter, 32, 94, kGate, {}},
        {1059, 28, 896, 32, Look::RoundMeter, 113, 94, kPreamp, {}},
        {1038, 38, 1482, 39, Look::RateLamp, 628, 138, kMod, {}},
        {1019, 38, 1482, 39, Look::RateLamp, 627, 138, kMod, {}},
        {1020, 38, 1482, 39, Look::RateLamp, 628, 138, kFilter, {}},
        // covers, sized to the section they hide
        {1006, 72, 333, 1, Look::Cover, 11, 71, kGate, {"GATE"}},
        {1029, 72, 333, 1, Look::Cover, 91, 71, kPreamp, {"PREAMP"}},
        {1054, 72, 333, 1, Look::Cover, 171, 71, kComp, {"COMP"}},
        {1016, 144, 333, 1, Look::Cover, 251, 71, kMulti, {"MULTIBAND"}},
        {1025, 268, 227, 1, Look::Cover, 403, 71, kFilter, {"EFFECTS"}},
        // two-state buttons of 35 x 12 (unlit, lit)
        {1002, 35, 24, 2, Look::TextStates, -1, -1, kGate, {"GATE", "GATE"}},
        {1003, 35, 24, 2, Look::TextStates, -1, -1, kPreamp, {"PRE", "PRE"}},
        {1005, 35, 24, 2, Look::TextStates, -1, -1, kComp, {"COMP", "COMP"}},
        {1015, 35, 24, 2, Look::TextStates, -1, -1, kMulti, {"DYN", "DYN"}},
        {1024, 35, 24, 2, Look::TextStates, -1, -1, kFilter, {"FX", "FX"}},
        {1028, 35, 24, 2, Look::TextStates, -1, -1, kMaster, {"SOLO", "SOLO"}},
        {1037, 35, 24, 2, Look::TextStates, -1, -1, kDelay, {"ON", "ON"}},
        {1052, 35, 24, 2, Look::TextStates, -1, -1, kMod, {"+", "INV"}},
        {1060, 35, 24, 2, Look::TextStates, -1, -1, kMod, {"FREE", "SYNC"}},
        // multi-state buttons and menus
        {1001, 54, 39, 3, Look::TextStates, -1, -1, kFilter, {"OFF", "SENDS", "MAIN"}},
        {1036, 54, 39, 3, Look::TextStates, -1, -1, kFilter, {"HP", "BP", "LP"}},
        {1049, 66, 24, 2, Look::TextStates, -1, -1, kMod, {"LFO", "ENVELOPE"}},
        {1047, 35, 96, 8, Look::TextStates, -1, -1, kMod, {"FREQ", "RESO", "D.TIME", "D.FB", "D.LVL", "ROOM", "DECAY", "R.LVL"}},
        {1048, 35, 96, 8, Look::TextStates, -1, -1, kMod, {"FREQ", "RESO", "D.TIME", "D.FB", "D.LVL", "ROOM", "DECAY", "R.LVL"}},
        {1064, 60, 72, 6, Look::TextStates, -1, -1, kMaster, {"INPUT", "COMP", "DRIVE", "DYN EQ", "SENDS", "OUTPUT"}},
        {1065, 60, 72, 6, Look::TextStates, -1, -1, kNeutral, {"INPUT", "COMP", "DRIVE", "DYN EQ", "SENDS", "OUTPUT"}},
        {1013, 40, 154, 14, Look::TextStates, -1, -1, kDelay,
         {"0/14", "1/14", "2/14", "3/14", "4/14", "5/14", "6/14", "7/14", "8/14", "9/14", "10/14", "11/14", "12/14", "13/14"}},
        // small buttons
        {1066, 19, 19, 1, Look::Arrow, -1, -1, kNeutral, {"left"}},
        {1067, 19, 19, 1, Look::Arrow, -1, -1, kNeutral, {"right"}},
        {1062, 12, 24, 2, Look::Arrow, -1, -1, kNeutral, {"down"}},
        {1063, 12, 24, 2, Look::Arrow, -1, -1, kNeutral, {"up"}},
        {1032, 19, 38, 2, Look::HelpButton, -1, -1, kNeutral, {"?"}},
        {1055, 16, 32, 2, Look::Led, -1, -1, kGate, {}},
        {1031, 24, 12, 1, Look::Led, -1, -1, kMaster, {}},
    };
    return table;
}

// The host's time as a VST plug-in asks for it (audioMasterGetTime), kept
// from the time:Position objects the LV2 host sends. Audio thread only.
#pragma once

#include <lv2/atom/atom.h>

#include "plugin/lv2/Lv2Uris.h"
#include "plugin/vst24.h"

class Lv2HostTime {
public:
    void setSampleRate(double rate) { info_.sampleRate = rate; }
    void update(const LV2_Atom_Object* position, const Lv2Uris& uris);
    // The transport moved on by frames since the last position.
    void advance(int32_t frames);
    // Null until the host has told a tempo: without one the plug-in keeps its own.
    const VstTimeInfo* info() const { return tempoKnown_ ? &info_ : nullptr; }

private:
    VstTimeInfo info_{};
    bool tempoKnown_ = false;
};

// The URIs the plug-in speaks, mapped once when an instance is made.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#define ORVEL_LV2_URI "urn:tamblor:orvel"
#define ORVEL_LV2_UI_URI ORVEL_LV2_URI "#ui"
// The state property: the plug-in's whole state, the same words as its VST chunk.
#define ORVEL_LV2_CHUNK_URI ORVEL_LV2_URI "#chunk"

struct Lv2Uris {
    LV2_URID atomBlank = 0, atomObject = 0, atomFloat = 0, atomDouble = 0, atomInt = 0, atomLong = 0,
             atomChunk = 0;
    LV2_URID midiEvent = 0;
    LV2_URID timePosition = 0, timeBpm = 0, timeSpeed = 0, timeBeat = 0, timeBeatUnit = 0, timeBarBeat = 0,
             timeBar = 0, timeBeatsPerBar = 0, timeFrame = 0;
    LV2_URID chunk = 0;

    explicit Lv2Uris(const LV2_URID_Map* m) {
        auto map = [m](const char* uri) { return m->map(m->handle, uri); };
        atomBlank = map(LV2_ATOM__Blank);
        atomObject = map(LV2_ATOM__Object);
        atomFloat = map(LV2_ATOM__Float);
        atomDouble = map(LV2_ATOM__Double);
        atomInt = map(LV2_ATOM__Int);
        atomLong = map(LV2_ATOM__Long);
        atomChunk = map(LV2_ATOM__Chunk);
        midiEvent = map(LV2_MIDI__MidiEvent);
        timePosition = map(LV2_TIME__Position);
        timeBpm = map(LV2_TIME__beatsPerMinute);
        timeSpeed = map(LV2_TIME__speed);
        timeBeat = map(LV2_TIME__beat);
        timeBeatUnit = map(LV2_TIME__beatUnit);
        timeBarBeat = map(LV2_TIME__barBeat);
        timeBar = map(LV2_TIME__bar);
        timeBeatsPerBar = map(LV2_TIME__beatsPerBar);
        timeFrame = map(LV2_TIME__frame);
        chunk = map(ORVEL_LV2_CHUNK_URI);
    }
};

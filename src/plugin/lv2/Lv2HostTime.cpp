#include "plugin/lv2/Lv2HostTime.h"

#include <lv2/atom/util.h>

namespace {

bool numberOf(const LV2_Atom* atom, const Lv2Uris& u, double& out) {
    if (!atom) return false;
    if (atom->type == u.atomFloat && atom->size >= sizeof(float))
        out = double(reinterpret_cast<const LV2_Atom_Float*>(atom)->body);
    else if (atom->type == u.atomDouble && atom->size >= sizeof(double))
        out = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    else if (atom->type == u.atomInt && atom->size >= sizeof(int32_t))
        out = double(reinterpret_cast<const LV2_Atom_Int*>(atom)->body);
    else if (atom->type == u.atomLong && atom->size >= sizeof(int64_t))
        out = double(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    else
        return false;
    return true;
}

} // namespace

void Lv2HostTime::update(const LV2_Atom_Object* position, const Lv2Uris& u) {
    const LV2_Atom *bpm = nullptr, *speed = nullptr, *frame = nullptr, *beat = nullptr, *beatUnit = nullptr,
                   *barBeat = nullptr, *beatsPerBar = nullptr;
    lv2_atom_object_get(position, u.timeBpm, &bpm, u.timeSpeed, &speed, u.timeFrame, &frame, u.timeBeat, &beat,
                        u.timeBeatUnit, &beatUnit, u.timeBarBeat, &barBeat, u.timeBeatsPerBar, &beatsPerBar, 0);
    double v = 0.0;
    if (numberOf(bpm, u, v) && v > 0.0) {
        info_.tempo = v;
        info_.flags |= kVstTempoValid;
        tempoKnown_ = true;
    }
    if (numberOf(speed, u, v)) {
        const int32_t playing = v != 0.0 ? kVstTransportPlaying : 0;
        if ((info_.flags & kVstTransportPlaying) != playing) info_.flags |= kVstTransportChanged;
        info_.flags = (info_.flags & ~kVstTransportPlaying) | playing;
    }
    if (numberOf(frame, u, v)) info_.samplePos = v;
    double unit = 4.0;
    if (numberOf(beatUnit, u, v) && v > 0.0) {
        unit = v;
        info_.timeSigDenominator = int32_t(v);
    }
    if (numberOf(beatsPerBar, u, v) && v > 0.0) {
        info_.timeSigNumerator = int32_t(v);
        if (info_.timeSigDenominator > 0) info_.flags |= kVstTimeSigValid;
    }
    // time:beat counts beats of the beat unit; VST positions count quarter notes.
    if (numberOf(beat, u, v)) {
        info_.ppqPos = v * 4.0 / unit;
        info_.flags |= kVstPpqPosValid;
        if (numberOf(barBeat, u, v)) {
            info_.barStartPos = info_.ppqPos - v * 4.0 / unit;
            info_.flags |= kVstBarsValid;
        }
    }
}

void Lv2HostTime::advance(int32_t frames) {
    info_.flags &= ~kVstTransportChanged;
    if (!(info_.flags & kVstTransportPlaying) || frames <= 0) return;
    info_.samplePos += frames;
    if (tempoKnown_ && info_.sampleRate > 0.0) info_.ppqPos += frames / info_.sampleRate * info_.tempo / 60.0;
}

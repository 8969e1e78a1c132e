#include "state/StoredState.h"

#include "gui/Alerts.h"
#include "plugin/ProductIdentity.h"
#include "state/ZuChunk.h"

namespace {

// An entry is one word (the target) before layout version 3, two from 3 on.
ControllerEntry readEntry(ZuChunk& chunk, int32_t layoutVersion, int32_t first) {
    ControllerEntry e;
    e.target = static_cast<int16_t>(first);
    if (layoutVersion >= 3) e.subTarget = static_cast<int16_t>(chunk.readInt());
    return e;
}

bool readControllerMap(ZuChunk& chunk, StoredState& s) {
    for (;;) {
        const int32_t number = chunk.readInt();
        if (chunk.overrun()) return false;
        if (number == kEndOfControllerMap) return true;
        const bool known = number >= 0 && number < kControllerCount;
        for (;;) {
            const int32_t word = chunk.readInt();
            if (chunk.overrun()) return false;
            if (word == kEndOfController) break;
            const ControllerEntry e = readEntry(chunk, s.layoutVersion, word);
            if (chunk.overrun()) return false;
            // A 16-bit target of -2 would be written back as the end of its list.
            if (known && e.target != kEndOfController) s.controllerMap[static_cast<size_t>(number)].push_back(e);
        }
    }
}

void readTail(ZuChunk& chunk, StoredState& s) {
    const int32_t t = chunk.readInt();
    if (chunk.overrun()) return;
    s.hasTailVersion = true;
    s.tailVersion = t;
    if (t < 10) return;
    if (t <= 16) {
        s.program = chunk.readInt();
        if (chunk.overrun()) return;
        s.hasProgram = true;
        if (t > 10) {
            s.folder = chunk.readInt();
            if (chunk.overrun()) return;
            s.hasFolder = true;
        }
        if (t < 14) return;
    }
    const int32_t count = chunk.readInt();
    for (int32_t i = 0; i < count && !chunk.overrun(); ++i) {
        const int32_t first = chunk.readInt();
        const ControllerEntry e = readEntry(chunk, s.layoutVersion, first);
        if (!chunk.overrun()) s.extraAssignments.push_back(e);
    }
    chunk.readInt(); // the end word, not checked
    if (chunk.overrun()) {
        s.extraAssignments.clear();
        return;
    }
    s.hasExtraAssignments = true;
    // What follows (a matrix block, the host string) is read past and not kept.
}

bool reject(bool quiet, bool notice, const char* text) {
    if (quiet) return false;
    if (notice)
        noticeBox(text);
    else
        alertBox(text, product::kName);
    return false;
}

} // namespace

bool parseStoredState(ZuChunk& chunk, bool quiet, StoredState& s) {
    static constexpr const char* kNoValidFormat = "\t This is no valid %s format!";
    static constexpr const char* kNotOurs = "This is not a %s file";
    s = StoredState();
    if (!chunk.readHeader(quiet)) return false;
    chunk.readInt(); // header length
    const int32_t kind = chunk.readInt();
    s.layoutVersion = chunk.readInt();
    if (chunk.overrun()) return reject(quiet, false, kNoValidFormat);
    if (kind != kStateKind) return reject(quiet, true, "wrong plugin version");
    if (s.layoutVersion < 1) return reject(quiet, false, kNotOurs);
    if (s.layoutVersion >= 2) {
        const int32_t code = chunk.readInt();
        if (chunk.overrun()) return reject(quiet, false, kNoValidFormat);
        if (code != kProductCode) return reject(quiet, false, kNotOurs);
    }

    for (;;) {
        const int32_t id = chunk.readInt();
        if (chunk.overrun()) return reject(quiet, false, kNoValidFormat);
        if (id == kEndOfParameters) break;
        const int32_t length = chunk.readInt();
        const float value = chunk.readFloat();
        if (chunk.overrun() || length < 1 || !chunk.skipWords(static_cast<int64_t>(length) - 1))
            return reject(quiet, false, kNoValidFormat);
        s.values.push_back({id, value});
    }

    if (!readControllerMap(chunk, s)) {
        for (ControllerList& l : s.controllerMap) l.clear();
        return true;
    }
    s.hasControllerMap = true;

    const int32_t namePresent = chunk.readInt();
    if (chunk.overrun()) return true;
    s.hasNameWord = true;
    if (namePresent > 0) {
        s.name = chunk.readString();
        if (chunk.overrun()) {
            s.name.clear();
            return true;
        }
        s.nameRead = true;
    }
    readTail(chunk, s);
    return true;
}

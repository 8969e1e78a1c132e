// The plug-in's state as a layout: writing it, reading it back, and the host
// chunk calls built on both.
#include <atomic>

#include "plugin/ZuUniClient.h"
#include "state/FileTree.h"
#include "state/SettingsKey.h"
#include "state/StoredState.h"

namespace {

constexpr VstInt32 kOwnHostTempoOpcode = 50; // tells our own host the tempo of a restored state

// Raises a flag for the life of the scope, so that no early exit (or
// exception) can leave the MIDI path or the audio path shut out.
class RaisedFlag {
public:
    explicit RaisedFlag(std::atomic<bool>& flag) : flag_(flag) { flag_.store(true); }
    ~RaisedFlag() { flag_.store(false); }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;

private:
    std::atomic<bool>& flag_;
};

class LoadScope {
public:
    explicit LoadScope(ZuUniClient& client) : client_(client) { client_.beginLoad(true); }
    ~LoadScope() { client_.endLoad(); }
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;

private:
    ZuUniClient& client_;
};

void writeEntry(ZuChunk& chunk, const ControllerEntry& e) {
    chunk.writeInt(e.target); // sign-extended
    chunk.writeInt(e.subTarget);
}

void append(ControllerList& to, const ControllerList& from) { to.insert(to.end(), from.begin(), from.end()); }

} // namespace

void ZuUniClient::writeState(ZuChunk& c) {
    if (c.measureOnly) {
        c.cursor += kStateHeaderWords;
    } else {
        c.totalWords = c.cursor;
        c.cursor = 0;
        c.writeInt(c.totalWords);
        c.writeInt(kProductVersion);
        c.writeFloat(c.tempo);
        c.writeFloat(c.sampleRate);
        c.writeInt(kStateMagic);
    }
    c.writeInt(c.cursor);
    c.writeInt(kStateKind);
    c.writeInt(kLayoutVersion);
    c.writeInt(kProductCode);
    for (const ParameterRecord* r : params_.stored()) {
        c.writeInt(r->recordId);
        c.writeInt(1);
        c.writeFloat(*r->value);
    }
    c.writeInt(kEndOfParameters);
    for (int n = 0; n < kControllerCount; ++n) {
        const ControllerList& list = ccMap.lists[static_cast<size_t>(n)];
        if (list.empty()) continue;
        c.writeInt(n);
        for (const ControllerEntry& e : list)
            if (e.target != kEndOfController) writeEntry(c, e); // it would read as the end of the list
        c.writeInt(kEndOfController);
    }
    c.writeInt(kEndOfControllerMap);
    c.writeInt(1);
    c.writeString(presetName.c_str());
    c.writeInt(kTailVersion);
    c.writeInt(curProgram);
    c.writeInt(presetFolderIndex);
    c.writeInt(static_cast<int32_t>(ccMap.extraAssignments.size()));
    for (const ControllerEntry& e : ccMap.extraAssignments) writeEntry(c, e);
    c.writeInt(kEndOfExtraAssignments);
    c.writeInt(0); // matrix rows
    c.writeInt(0); // matrix columns
    c.writeString("Host");
}

int32_t ZuUniClient::serializeState(ZuChunk& c) {
    c.measureOnly = true;
    c.rewind();
    c.tempo = static_cast<float>(engine_.ctx.tempo);
    c.sampleRate = engine_.ctx.sampleRate;
    writeState(c);
    c.measureOnly = false;
    c.allocate(c.cursor);
    writeState(c); // the cursor still holds the measured size
    return c.cursor * 4;
}

bool ZuUniClient::readState(ZuChunk& chunk, bool force, bool quiet, bool updatePath) {
    StoredState s;
    if (!parseStoredState(chunk, quiet, s)) return false;

    ZuUniClientEditor* editor = uniEditor_;
    const bool isolate = ccMapRecallIsolate != 0.0f;
    LoadScope load(*this);

    for (const StoredValue& v : s.values) {
        const ParameterRecord* r = params_.byRecordId(v.recordId);
        if (r && r->recordId != -1) setParameter(r->tag, v.value);
    }

    if (s.hasControllerMap) {
        if (!isolate || force) {
            RaisedFlag lock(ccMapLock);
            ccMap.clearLists();
        }
        RaisedFlag lock(ccMapLock);
        if (!isolate)
            for (int n = 0; n < kControllerCount; ++n)
                append(ccMap.lists[static_cast<size_t>(n)], s.controllerMap[static_cast<size_t>(n)]);
    }

    if (s.nameRead) {
        presetName = s.name;
        std::string root;
        if (updatePath && readSettingString("presetpath0", root))
            presetPath = findFileInTree(root, presetName + ".zuo");
    }

    const int32_t t = s.tailVersion;
    bool extrasFollow = s.hasTailVersion && t >= 10;
    if (extrasFollow && t <= 16) {
        extrasFollow = t >= 14 && s.hasProgram && s.hasFolder;
        // A program position that no writer produces is not taken.
        const bool inRange = s.hasProgram && s.program >= 0 && s.program < kNumPrograms &&
                             (t <= 10 || (s.hasFolder && s.folder >= 0));
        if (force && t >= 13 && inRange) {
            curProgram = s.program;
            presetFolderIndex = s.folder;
        }
    }
    if (extrasFollow && s.hasExtraAssignments) {
        if (!isolate || force) {
            RaisedFlag lock(ccMapLock);
            ccMap.extraAssignments.clear();
        }
        RaisedFlag lock(ccMapLock);
        if (!isolate) append(ccMap.extraAssignments, s.extraAssignments);
    }

    engine_.suspend(); // the signal memory of the old state goes
    engine_.ctx.controlCounter = kControlBlockSize;
    if (ownHost) callHost(kOwnHostTempoOpcode, 0, 0, nullptr, chunk.tempo);
    endLoad();
    if (editor) editor->requestRefresh();
    return true;
}

VstInt32 ZuUniClient::getChunk(void** data, bool) {
    if (!data) return 0;
    const int32_t bytes = serializeState(stateChunk_);
    *data = const_cast<void*>(stateChunk_.data());
    return bytes;
}

VstInt32 ZuUniClient::setChunk(void* data, VstInt32 byteSize, bool) {
    loadStateWords(data, byteSize);
    return 1;
}

bool ZuUniClient::loadStateWords(void* data, VstInt32 byteSize) {
    ZuChunk borrowed(data, byteSize > 0 ? static_cast<size_t>(byteSize) : 0);
    return readState(borrowed, true, false, true);
}

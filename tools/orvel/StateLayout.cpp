#include "StateLayout.h"

#include <cstring>

#include "CliError.h"

namespace {

constexpr int32_t kHeaderWords = 5;
constexpr int32_t kEndOfParameters = -1;
constexpr int32_t kEndOfController = -2;
constexpr int32_t kEndOfControllerMap = -3;
constexpr int32_t kEndOfExtraAssignments = -4;
constexpr int32_t kCurrentLayout = 4;
constexpr int32_t kCurrentTail = 16;

uint32_t loadWord(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Reads words up to an end it never passes.
class WordReader {
public:
    WordReader(const std::vector<uint8_t>& bytes, size_t words) : bytes_(bytes), words_(words) {}

    int32_t next(const char* what) {
        if (cursor_ >= words_)
            throw CliError("the state ends early (word " + std::to_string(cursor_) + ", " + what + ")");
        return static_cast<int32_t>(loadWord(&bytes_[4 * cursor_++]));
    }
    float nextFloat(const char* what) {
        const uint32_t bits = static_cast<uint32_t>(next(what));
        float v;
        std::memcpy(&v, &bits, sizeof(v));
        return v;
    }
    void skip(int64_t count, const char* what) {
        if (count < 0 || static_cast<uint64_t>(count) > words_ - cursor_)
            throw CliError("the state ends early (word " + std::to_string(cursor_) + ", " + what + ")");
        cursor_ += static_cast<size_t>(count);
    }
    std::string nextString(const char* what) {
        const int32_t length = next(what);
        if (length < 0) throw CliError(std::string("negative length of ") + what);
        const size_t padded = (static_cast<size_t>(length) + 3) / 4;
        if (padded > words_ - cursor_)
            throw CliError("the state ends early (word " + std::to_string(cursor_) + ", " + what + ")");
        std::string s(reinterpret_cast<const char*>(&bytes_[4 * cursor_]), static_cast<size_t>(length));
        cursor_ += padded;
        return s;
    }
    // A (target, sub-target) entry: one word in layouts before 3, two from 3 on.
    ControllerTarget nextTarget(int32_t layoutVersion, int32_t first) {
        ControllerTarget t;
        t.target = static_cast<int16_t>(first);
        t.subTarget = layoutVersion < 3 ? 0 : static_cast<int16_t>(next("controller sub-target"));
        return t;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t words_;
    size_t cursor_ = 0;
};

class WordWriter {
public:
    void put(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
    void putFloat(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof(bits));
        put(static_cast<int32_t>(bits));
    }
    void putString(const std::string& s) {
        put(static_cast<int32_t>(s.size()));
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    void putTarget(const ControllerTarget& t) {
        put(static_cast<int16_t>(t.target));
        put(static_cast<int16_t>(t.subTarget));
    }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace

PresetState parseStateLayout(const std::vector<uint8_t>& bytes) {
    const size_t available = bytes.size() / 4;
    if (available < kHeaderWords) throw CliError("too short for a state (" + std::to_string(bytes.size()) + " bytes)");
    PresetState s;
    s.totalWords = static_cast<int32_t>(loadWord(&bytes[0]));
    if (s.totalWords < kHeaderWords || static_cast<size_t>(s.totalWords) > available)
        throw CliError("the header states " + std::to_string(s.totalWords) + " words but the data holds " +
                       std::to_string(available));
    WordReader in(bytes, static_cast<size_t>(s.totalWords));
    in.next("length");
    s.productVersion = in.next("product version");
    s.tempo = in.nextFloat("tempo");
    s.sampleRate = in.nextFloat("sample rate");
    if (in.next("magic") != kStateMagic) throw CliError("not an Orvel state (wrong magic word)");
    in.next("header length");
    s.stateKind = in.next("state kind");
    if (s.stateKind != 1) throw CliError("not an Orvel state (state kind " + std::to_string(s.stateKind) + ")");
    s.layoutVersion = in.next("layout version");
    if (s.layoutVersion < 1) throw CliError("not an Orvel state (layout version " + std::to_string(s.layoutVersion) + ")");
    if (s.layoutVersion >= 2) {
        const int32_t code = in.next("product code");
        if (code != kProductCode) throw CliError("not an Orvel state (product code " + std::to_string(code) + ")");
    }

    for (;;) {
        const int32_t id = in.next("parameter record");
        if (id == kEndOfParameters) break;
        const int32_t length = in.next("parameter record length");
        if (length < 1) throw CliError("parameter record " + std::to_string(id) + " has length " + std::to_string(length));
        s.values.push_back({id, in.nextFloat("parameter value")});
        in.skip(length - 1, "parameter record");
    }

    for (;;) {
        const int32_t controller = in.next("controller map");
        if (controller == kEndOfControllerMap) break;
        if (controller < 0 || controller >= kControllers)
            throw CliError("controller number " + std::to_string(controller) + " is outside 0..127");
        for (;;) {
            const int32_t word = in.next("controller target");
            if (word == kEndOfController) break;
            s.ccMap[static_cast<size_t>(controller)].push_back(in.nextTarget(s.layoutVersion, word));
        }
    }

    if (in.next("name flag") > 0) s.name = in.nextString("preset name");

    s.tailVersion = in.next("tail version");
    if (s.tailVersion < 10) return s;
    if (s.tailVersion <= 16) {
        s.program = in.next("program number");
        if (s.tailVersion > 10) s.folder = in.next("folder index");
    }
    if (s.tailVersion < 14) return s;
    const int32_t count = in.next("extra assignment count");
    if (count < 0) throw CliError("negative extra assignment count");
    for (int32_t i = 0; i < count; ++i)
        s.extraAssignments.push_back(in.nextTarget(s.layoutVersion, in.next("extra assignment")));
    in.next("end of extra assignments");
    if (s.tailVersion > 14) {
        const int64_t rows = in.next("matrix rows");
        const int64_t columns = in.next("matrix columns");
        if (rows != 0 && columns != 0) in.skip(rows * columns, "matrix");
    }
    if (s.tailVersion > 15) in.nextString("host string");
    return s;
}

std::vector<uint8_t> writeStateLayout(const PresetState& s) {
    WordWriter out;
    out.put(0); // the length, filled in below
    out.put(kProductVersion);
    out.putFloat(s.tempo);
    out.putFloat(s.sampleRate);
    out.put(kStateMagic);
    out.put(kHeaderWords);
    out.put(1);
    out.put(kCurrentLayout);
    out.put(kProductCode);
    for (const StoredValue& v : s.values) {
        out.put(v.recordId);
        out.put(1);
        out.putFloat(v.value);
    }
    out.put(kEndOfParameters);
    for (int c = 0; c < kControllers; ++c) {
        const auto& list = s.ccMap[static_cast<size_t>(c)];
        if (list.empty()) continue;
        out.put(c);
        for (const ControllerTarget& t : list) out.putTarget(t);
        out.put(kEndOfController);
    }
    out.put(kEndOfControllerMap);
    out.put(1);
    out.putString(s.name);
    out.put(kCurrentTail);
    out.put(s.program);
    out.put(s.folder);
    out.put(static_cast<int32_t>(s.extraAssignments.size()));
    for (const ControllerTarget& t : s.extraAssignments) out.putTarget(t);
    out.put(kEndOfExtraAssignments);
    out.put(0);
    out.put(0);
    out.putString("Host");
    std::vector<uint8_t>& bytes = out.bytes();
    const auto words = static_cast<uint32_t>(bytes.size() / 4);
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(words >> (8 * i));
    return bytes;
}

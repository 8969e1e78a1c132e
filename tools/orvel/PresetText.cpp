#include "PresetText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "Arguments.h"
#include "CliError.h"
#include "OrvelParameters.h"

namespace {

constexpr float kMaxTempo = 999.0f;

std::string trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// Exactly the float the text names (no detour through double).
std::optional<float> parseFloat(const std::string& text) {
    float v = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::string escapeName(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool edgeBlank = (c == ' ' || c == '\t') && (i == 0 || i + 1 == name.size());
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7f || edgeBlank) {
            char hex[5];
            std::snprintf(hex, sizeof(hex), "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string targetText(const ControllerTarget& t) {
    const char* key = orvel_parameters::keyOfTag(t.target);
    std::string s = key ? key : std::to_string(t.target);
    if (t.subTarget != 0) s += " " + std::to_string(t.subTarget);
    return s;
}

class TextParser {
public:
    explicit TextParser(const std::string& source) : source_(source) {}

    PresetText parse(const std::string& text) {
        std::istringstream in(text);
        bool haveName = false;
        std::vector<const ParameterRecord*> seen;
        for (std::string raw; std::getline(in, raw);) {
            ++line_;
            if (!raw.empty() && raw.back() == '\r') raw.pop_back();
            const std::string content = trim(raw);
            if (content.empty() || content[0] == '#') continue;
            const size_t eq = content.find('=');
            if (eq == std::string::npos) fail("expected KEY = VALUE");
            const std::string key = trim(content.substr(0, eq));
            const std::string value = trim(content.substr(eq + 1));
            const std::vector<std::string> keyWords = words(key);
            if (keyWords.empty()) fail("a key is missing before '='");

            if (key == "name") {
                once(haveName, "name");
                result_.name = unescape(value);
            } else if (key == "tempo") {
                if (result_.tempo) fail("tempo is given twice");
                const auto bpm = parseFloat(value);
                if (!bpm || *bpm <= 0.0f || *bpm > kMaxTempo) fail("tempo must be a number above 0 and up to 999");
                result_.tempo = *bpm;
            } else if (key == "program" || key == "folder") {
                auto& slot = key == "program" ? result_.program : result_.folder;
                if (slot) fail(key + " is given twice");
                slot = static_cast<int32_t>(integer(value, 0, 127, key));
            } else if (keyWords[0] == "cc" && keyWords.size() == 2) {
                const long controller = integer(keyWords[1], 0, kControllers - 1, "a controller number");
                result_.ccMap[static_cast<size_t>(controller)].push_back(target(value));
            } else if (key == "extra") {
                result_.extraAssignments.push_back(target(value));
            } else if (const ParameterRecord* r = orvel_parameters::storedByKey(key)) {
                for (const ParameterRecord* s : seen)
                    if (s == r) fail(key + " is given twice");
                seen.push_back(r);
                const auto v = parseFloat(value);
                if (!v) fail("the value of " + key + " is not a number: \"" + value + "\"");
                if (*v < 0.0f || *v > 1.0f) fail("the value of " + key + " is outside 0..1: " + value);
                result_.values.emplace_back(r, *v);
            } else {
                fail("unknown key \"" + key + "\" (valid: name, tempo, program, folder, cc N, extra, " +
                     orvel_parameters::storedKeyList() + ")");
            }
        }
        if (!haveName) {
            line_ = 0;
            fail("the preset has no name line (name = ...)");
        }
        return result_;
    }

private:
    [[noreturn]] void fail(const std::string& message) const {
        throw CliError(source_ + (line_ ? ":" + std::to_string(line_) : "") + ": " + message);
    }

    void once(bool& flag, const char* what) {
        if (flag) fail(std::string(what) + " is given twice");
        flag = true;
    }

    long integer(const std::string& text, long low, long high, const std::string& what) const {
        const auto v = parseInteger(text);
        if (!v || *v < low || *v > high)
            fail(what + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                 ", not \"" + text + "\"");
        return *v;
    }

    ControllerTarget target(const std::string& text) const {
        const std::vector<std::string> parts = words(text);
        if (parts.empty() || parts.size() > 2) fail("expected a target and an optional sub-target");
        ControllerTarget t;
        if (const auto tag = orvel_parameters::tagOfKey(parts[0])) {
            t.target = *tag;
        } else if (parseInteger(parts[0])) {
            t.target = static_cast<int32_t>(integer(parts[0], -32768, 32767, "a target"));
        } else {
            fail("unknown target \"" + parts[0] + "\"");
        }
        if (parts.size() == 2) t.subTarget = static_cast<int32_t>(integer(parts[1], -32768, 32767, "a sub-target"));
        return t;
    }

    std::string unescape(const std::string& text) const {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\\') {
                out += text[i];
                continue;
            }
            if (i + 1 < text.size() && text[i + 1] == '\\') {
                out += '\\';
                ++i;
                continue;
            }
            unsigned value = 0;
            if (i + 3 < text.size() && text[i + 1] == 'x' &&
                std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16).ptr == text.data() + i + 4) {
                out += static_cast<char>(value);
                i += 3;
                continue;
            }
            fail("a backslash in the name must start \\\\ or \\xHH");
        }
        return out;
    }

    std::string source_;
    int line_ = 0;
    PresetText result_;
};

} // namespace

std::string shortestFloat(float v) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof(text), v).ptr;
    return std::string(text, end);
}

PresetText parsePresetText(const std::string& text, const std::string& source) {
    return TextParser(source).parse(text);
}

std::string formatPresetText(const PresetState& state) {
    std::string out;
    out += "name = " + escapeName(state.name) + "\n";
    out += "tempo = " + shortestFloat(state.tempo) + "\n";
    if (state.program != 0) out += "program = " + std::to_string(state.program) + "\n";
    if (state.folder != 0) out += "folder = " + std::to_string(state.folder) + "\n";
    for (const StoredValue& v : state.values) {
        if (const ParameterRecord* r = orvel_parameters::storedByRecordId(v.recordId))
            out += std::string(r->name) + " = " + shortestFloat(v.value) + "\n";
        else
            out += "# record " + std::to_string(v.recordId) + " = " + shortestFloat(v.value) +
                   " (no parameter of this plug-in)\n";
    }
    for (int c = 0; c < kControllers; ++c)
        for (const ControllerTarget& t : state.ccMap[static_cast<size_t>(c)])
            out += "cc " + std::to_string(c) + " = " + targetText(t) + "\n";
    for (const ControllerTarget& t : state.extraAssignments) out += "extra = " + targetText(t) + "\n";
    return out;
}

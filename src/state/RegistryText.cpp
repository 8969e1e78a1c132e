#include "state/RegistryText.h"

#include <cstdio>

namespace {

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// A quoted text at the start of s: backslash escapes backslash and double
// quote (and, as our extension, \n and \r, which a line cannot hold); any
// other backslash is kept as written. Consumes the text from s.
std::optional<std::string> takeQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') return std::nullopt;
    std::string out;
    for (size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < s.size()) {
            const char n = s[i + 1];
            if (n == '\\' || n == '"') {
                out += n;
                ++i;
                continue;
            }
            if (n == 'n' || n == 'r') {
                out += n == 'n' ? '\n' : '\r';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return std::nullopt; // no closing quote
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    out += '"';
}

std::optional<uint32_t> parseDword(std::string_view s) {
    constexpr std::string_view prefix = "dword:";
    if (s.size() <= prefix.size() || !sameText(s.substr(0, prefix.size()), prefix)) return std::nullopt;
    s.remove_prefix(prefix.size());
    if (s.size() > 8) return std::nullopt;
    uint32_t v = 0;
    for (const char c : s) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    return v;
}

} // namespace

RegistryText::RegistryText(std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines_.push_back(parseLine(std::string(text.substr(start, end - start))));
        start = end + 1;
    }
    relink();
}

RegistryText::Line RegistryText::parseLine(std::string raw) {
    Line line;
    line.raw = std::move(raw);
    std::string_view s = trim(line.raw);
    if (s.size() >= 2 && s.front() == '[' && s.back() == ']') {
        line.isKey = true;
        line.keyName = std::string(s.substr(1, s.size() - 2));
        return line;
    }
    std::optional<std::string> name = takeQuoted(s);
    if (!name) return line;
    s = trim(s);
    if (s.empty() || s.front() != '=') return line;
    s.remove_prefix(1);
    s = trim(s);
    if (!s.empty() && s.front() == '"') {
        std::optional<std::string> text = takeQuoted(s);
        if (!text || !trim(s).empty()) return line;
        line.value = RegistryValue::string(std::move(*text));
    } else if (std::optional<uint32_t> v = parseDword(s)) {
        line.value = RegistryValue::number(*v);
    } else {
        return line;
    }
    line.isValue = true;
    line.valueName = std::move(*name);
    return line;
}

void RegistryText::relink() {
    int current = -1;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].isKey) current = static_cast<int>(i);
        lines_[i].keyIndex = current;
    }
}

bool RegistryText::isValueOf(const Line& line, std::string_view key, std::string_view name) const {
    return line.isValue && line.keyIndex >= 0 && sameText(lines_[static_cast<size_t>(line.keyIndex)].keyName, key) &&
           sameText(line.valueName, name);
}

std::optional<RegistryValue> RegistryText::find(std::string_view key, std::string_view name) const {
    std::optional<RegistryValue> found;
    for (const Line& line : lines_)
        if (isValueOf(line, key, name)) found = line.value;
    return found;
}

std::string RegistryText::formatValue(std::string_view name, const RegistryValue& value) {
    std::string out;
    appendQuoted(out, name);
    out += '=';
    if (value.type == RegistryValue::kString) {
        appendQuoted(out, value.text);
    } else {
        char digits[16];
        std::snprintf(digits, sizeof(digits), "dword:%08x", static_cast<unsigned>(value.dword));
        out += digits;
    }
    return out;
}

void RegistryText::set(std::string_view key, std::string_view name, const RegistryValue& value) {
    Line fresh = parseLine(formatValue(name, value));
    // Keep the last occurrence, in its place; drop the others.
    size_t last = lines_.size();
    for (size_t i = 0; i < lines_.size(); ++i)
        if (isValueOf(lines_[i], key, name)) last = i;
    if (last < lines_.size()) {
        lines_[last].raw = fresh.raw;
        lines_[last].value = fresh.value;
        for (size_t i = lines_.size(); i-- > 0;)
            if (i != last && isValueOf(lines_[i], key, name))
                lines_.erase(lines_.begin() + static_cast<long>(i));
        relink();
        return;
    }
    // A new value goes behind the last non-blank line of the key's last block.
    int keyLine = -1;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].isKey && sameText(lines_[i].keyName, key)) keyLine = static_cast<int>(i);
    if (keyLine < 0) {
        const bool signed_ = !lines_.empty() && (trim(lines_.front().raw) == kSignature ||
                                                 trim(lines_.front().raw) == "Windows Registry Editor Version 5.00");
        if (!signed_) {
            lines_.insert(lines_.begin(), parseLine(""));
            lines_.insert(lines_.begin(), parseLine(kSignature));
        }
        if (!trim(lines_.back().raw).empty()) lines_.push_back(parseLine(""));
        std::string keyLine(1, '[');
        keyLine.append(key);
        keyLine += ']';
        lines_.push_back(parseLine(std::move(keyLine)));
        lines_.push_back(std::move(fresh));
        relink();
        return;
    }
    size_t at = static_cast<size_t>(keyLine) + 1;
    for (size_t i = at; i < lines_.size() && !lines_[i].isKey; ++i)
        if (!trim(lines_[i].raw).empty()) at = i + 1;
    lines_.insert(lines_.begin() + static_cast<long>(at), std::move(fresh));
    relink();
}

std::string RegistryText::render() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

// The registry's export text ("REGEDIT4" files) as a document of lines: the
// string and dword values of a key can be read and replaced, and every line
// the parser does not understand (other keys, other value types, comments,
// garbage) is kept as it was when the text is rendered again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RegistryValue {
    enum Type { kString, kDword };
    Type type = kString;
    std::string text;    // kString
    uint32_t dword = 0;  // kDword

    static RegistryValue string(std::string t) { return {kString, std::move(t), 0}; }
    static RegistryValue number(uint32_t v) { return {kDword, {}, v}; }
};

class RegistryText {
public:
    static constexpr const char* kSignature = "REGEDIT4";

    explicit RegistryText(std::string_view text = {});

    // The value under key (the bracketed name, e.g. HKEY_CURRENT_USER\Software\...);
    // key and value names compare without regard to ASCII case, as in the
    // registry. With duplicates the last one counts, as on import.
    std::optional<RegistryValue> find(std::string_view key, std::string_view name) const;
    // Replaces the value (in place when present), adding the key when missing.
    void set(std::string_view key, std::string_view name, const RegistryValue& value);

    std::string render() const;

    // One value line: "name"="text" or "name"=dword:0000002a.
    static std::string formatValue(std::string_view name, const RegistryValue& value);

private:
    struct Line {
        std::string raw;
        bool isKey = false;
        std::string keyName;   // isKey
        bool isValue = false;  // a value the parser understands
        std::string valueName; // isValue
        RegistryValue value;   // isValue
        int keyIndex = -1;     // the key the line belongs to (index of its key line), -1 before any
    };
    static Line parseLine(std::string raw);
    void relink();                  // recomputes keyIndex after an edit
    // A value line the parser understood, named name, under key.
    bool isValueOf(const Line& line, std::string_view key, std::string_view name) const;

    std::vector<Line> lines_;
};

// orvel_settings: the install-time helper that points the settings at the
// installed content, written with the plug-in's own settings-store code so
// the plug-in reads exactly what was meant.
//
//   orvel_settings --content DIR/   DIR holds Presets/ and Manual/
//   orvel_settings --get NAME       prints a string value (exit 1 when missing)
//
// "contentpath" and "installpath" are written when missing. A plug-in that
// ran before its content was installed has built its folders from an empty
// content path ("Presets/" and so on, relative to whatever folder the host
// runs in); those values are moved below DIR. Folders the user chose stay.
#include <cstdio>
#include <cstring>
#include <string>

#include "state/PathText.h"
#include "state/SettingsKey.h"

namespace {

int usage() {
    std::fputs("usage: orvel_settings --content DIR | orvel_settings --get NAME\n", stderr);
    return 2;
}

bool report(bool written, const char* name, const std::string& value) {
    if (written) std::printf("-- Settings: %s = %s\n", name, value.c_str());
    else std::fprintf(stderr, "orvel_settings: cannot write %s into the settings store\n", name);
    return written;
}

bool writeWhenMissing(SettingsKey& key, const char* name, const std::string& value) {
    std::string existing;
    if (key.readString(name, existing)) {
        std::printf("-- Settings: keeping %s = %s\n", name, existing.c_str());
        return true;
    }
    return report(key.writeString(name, value.c_str()), name, value);
}

// A value the first run made without a content path, below content instead.
bool moveBelow(SettingsKey& key, const char* name, const std::string& relative, const std::string& content) {
    std::string existing;
    if (!key.readString(name, existing) || existing != relative) return true;
    const std::string value = content + relative;
    return report(key.writeString(name, value.c_str()), name, value);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return usage();
    SettingsKey key;
    if (!key.isOpen()) {
        std::fputs("orvel_settings: the settings store cannot be opened\n", stderr);
        return 1;
    }
    if (std::strcmp(argv[1], "--get") == 0) {
        std::string value;
        if (!key.readString(argv[2], value)) return 1;
        std::printf("%s\n", value.c_str());
        return 0;
    }
    if (std::strcmp(argv[1], "--content") != 0 || !argv[2][0]) return usage();
    std::string content = argv[2];
    ensureTrailingSeparator(content);
    const std::string sep(1, kPathSeparator);
    const bool ok = writeWhenMissing(key, "contentpath", content) && writeWhenMissing(key, "installpath", content) &&
                    moveBelow(key, "presetpath0", "Presets" + sep, content) &&
                    moveBelow(key, "presetsavepath0", "Presets" + sep + "User" + sep, content) &&
                    moveBelow(key, "audiofilepath", "Samples" + sep + "Factory", content);
    return ok ? 0 : 1;
}

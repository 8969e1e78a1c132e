// orvel_settings: the install-time helper that gives a fresh installation its
// settings, written with the plug-in's own settings-store code so the plug-in
// reads exactly what was meant.
//
//   orvel_settings NAME=VALUE...     writes each string value that is missing
//   orvel_settings --get NAME        prints a string value (exit 1 when missing)
//
// Values the user (or an earlier installation) already has are left alone.
#include <cstdio>
#include <cstring>
#include <string>

#include "state/SettingsKey.h"

namespace {

int usage() {
    std::fputs("usage: orvel_settings NAME=VALUE... | orvel_settings --get NAME\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    SettingsKey key;
    if (!key.isOpen()) {
        std::fputs("orvel_settings: the settings store cannot be opened\n", stderr);
        return 1;
    }
    if (std::strcmp(argv[1], "--get") == 0) {
        if (argc != 3) return usage();
        std::string value;
        if (!key.readString(argv[2], value)) return 1;
        std::printf("%s\n", value.c_str());
        return 0;
    }
    for (int i = 1; i < argc; ++i) {
        const char* eq = std::strchr(argv[i], '=');
        if (!eq || eq == argv[i]) return usage();
        const std::string name(argv[i], static_cast<size_t>(eq - argv[i]));
        std::string existing;
        if (key.readString(name.c_str(), existing)) {
            std::printf("-- Settings: keeping %s = %s\n", name.c_str(), existing.c_str());
            continue;
        }
        if (!key.writeString(name.c_str(), eq + 1)) {
            std::fprintf(stderr, "orvel_settings: cannot write %s into the settings store\n", name.c_str());
            return 1;
        }
        std::printf("-- Settings: %s = %s\n", name.c_str(), eq + 1);
    }
    return 0;
}

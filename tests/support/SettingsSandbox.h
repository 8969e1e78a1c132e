// A fresh per-user settings and data folder for one test: XDG_CONFIG_HOME and
// XDG_DATA_HOME point into a new temporary folder until the object goes.
#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "support/TempDir.h"

class SettingsSandbox {
public:
    SettingsSandbox() : config_(save("XDG_CONFIG_HOME")), data_(save("XDG_DATA_HOME")) {
        setenv("XDG_CONFIG_HOME", (dir_.path() + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir_.path() + "/data").c_str(), 1);
    }
    ~SettingsSandbox() {
        restore("XDG_CONFIG_HOME", config_);
        restore("XDG_DATA_HOME", data_);
    }
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

    std::string root() const { return dir_.path(); }
    std::string dataFolder() const { return dir_.path() + "/data"; }
    std::string keyFolder() const { return dir_.path() + "/config/Tamblor/Orvel"; }
    std::string file() const { return keyFolder() + "/settings.reg"; }

    // The settings file's text ("" when missing), or a new text for it.
    std::string text() const {
        return readText(file());
    }
    void write(const std::string& text) const {
        std::filesystem::create_directories(keyFolder());
        std::ofstream(file(), std::ios::binary | std::ios::trunc) << text;
    }

    static constexpr const char* kHeader = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Tamblor\\Orvel]\n";

private:
    static std::optional<std::string> save(const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& v) {
        if (v)
            setenv(name, v->c_str(), 1);
        else
            unsetenv(name);
    }

    TempDir dir_{"orvel-settings"};
    std::optional<std::string> config_, data_;
};

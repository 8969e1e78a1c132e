// A settings store whose preset root is <sandbox>/Presets/, past its first
// run, and the helpers to fill it (file helpers of their own, in each test file).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "params/ParameterTags.h"
#include "state/SettingsKey.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

namespace {

[[maybe_unused]] std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

[[maybe_unused]] void writeBytes(const std::string& path, const std::vector<uint8_t>& b) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

} // namespace

struct PresetTree {
    SettingsSandbox sandbox;
    std::string root = sandbox.root() + "/Presets/";
    PresetTree() {
        std::filesystem::create_directories(root);
        writeSettingInt("firstuse", 1);
        writeSettingString("presetpath0", root.c_str());
    }
    // A preset made by a plug-in with master at the given value.
    void preset(const std::string& relative, float master) {
        auto c = DirectHost::create();
        c->setParameter(kTagMaster, master);
        c->presetName = std::filesystem::path(relative).stem().string();
        std::filesystem::create_directories(std::filesystem::path(root + relative).parent_path());
        ASSERT_TRUE(c->savePresetFile((root + relative).c_str()));
    }
};

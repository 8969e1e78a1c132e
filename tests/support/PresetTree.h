// A settings store whose preset root is <sandbox>/Presets/, past its first
// run, and a helper to fill it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "params/ParameterTags.h"
#include "state/SettingsKey.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

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

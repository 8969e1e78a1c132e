// A folder with a preset text and the preset built from it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

// Every stored key in the order the plug-in stores them, as dump prints them.
inline const char* const kStoredKeys[] = {
    "compression", "compress_speed", "gate",        "gate_thres",  "gate_speed",     "comp",       "preamp",
    "preamp_gain", "hipass_freq",    "overdrive",   "master",      "lfo_speed",      "lfo_amount", "lfo_power",
    "syncmode",    "ef_speed",       "ef_amount",   "ef_power",    "efinvert",       "dly_level",  "rvb_level",
    "filter_sig_flow", "dly_time",   "dly_feedback", "delay_power", "rvb_room",      "rvb_decay",  "reverb_power",
    "fx_return",   "filter_reso",    "filter_cutoff", "filter_type", "followertarget", "lfotarget", "Switch_c",
    "List",        "split_freq",     "low_comp",    "low_level",   "mid_comp",       "mid_level",  "high_comp",
    "high_level",  "dyn_eq_response", "dyn",        "fxwitch",     "solo",
};

class PresetBuild : public ::testing::Test {
protected:
    TempDir dir{"orvel-build"};
    std::string text = dir.file("p.txt");
    std::string preset = dir.file("p.zuo");

    CommandResult build(const std::string& content) {
        writeBytes(text, std::vector<unsigned char>(content.begin(), content.end()));
        return runOrvel({"preset", "build", text, preset});
    }
    void expectError(const std::string& content, const std::string& message) {
        const CommandResult r = build(content);
        EXPECT_EQ(r.status, 1) << content;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(preset));
    }
};


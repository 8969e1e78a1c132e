// The factory presets as built: each one a complete, musically usable state
// that reads back to the same file, with a name a host shows whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "plugin/vst24.h"
#include "support/TempDir.h"
#include "tools/BuiltPresets.h"
#include "tools/OrvelCommand.h"
#include "tools/PresetBuildFixture.h"

namespace fs = std::filesystem;

namespace {

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(FactoryContent, EveryPresetIsCompleteAndReadsBackToTheSameFile) {
    const std::vector<fs::path> presets = builtFactoryPresets();
    ASSERT_GE(presets.size(), 17u);
    TempDir dir("orvel-factory-text");
    for (const fs::path& preset : presets) {
        const std::string name = preset.stem().string();
        EXPECT_LE(name.size(), static_cast<size_t>(kVstMaxProgNameLen)) << name << " is cut in a host's program list";
        const CommandResult dumped = runOrvel({"preset", "dump", preset.string()});
        ASSERT_EQ(dumped.status, 0) << preset << ": " << dumped.err;
        EXPECT_NE(dumped.out.find("name = " + (name == "default" ? std::string("Default") : name) + "\n"),
                  std::string::npos)
            << "the stored name is the file's: " << dumped.out;
        for (const char* key : kStoredKeys)
            EXPECT_NE(dumped.out.find("\n" + std::string(key) + " = "), std::string::npos) << preset << ": " << key;
        const std::string text = dir.file("p.txt"), rebuilt = dir.file("p.zuo");
        writeBytes(text, std::vector<unsigned char>(dumped.out.begin(), dumped.out.end()));
        const CommandResult built = runOrvel({"preset", "build", text, rebuilt});
        ASSERT_EQ(built.status, 0) << built.err;
        EXPECT_EQ(bytesOf(rebuilt), bytesOf(preset)) << preset;
    }
}

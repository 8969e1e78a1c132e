// `cmake --install` of this build tree into a temporary home, then a host
// loading the installed plug-in: the factory content, the settings that lead
// the plug-in to it, and the default preset it starts with.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

#include "state/SettingsKey.h"
#include "support/TempDir.h"
#include "support/TestHost.h"
#include "tools/OrvelCommand.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFactoryTexts = fs::path(ORVEL_SOURCE_DIR) / "presets" / "factory";

std::string shellQuoted(const std::string& s) { return "'" + s + "'"; }

std::string setting(const char* name) {
    std::string value;
    readSettingString(name, value);
    return value;
}

// A temporary home, and this process's per-user folders pointed at it as the
// plug-in finds them when the musician logs in there.
class Installation {
public:
    TempDir dir{"orvel-install"};
    std::string home = dir.file("home");
    std::string prefix = dir.file("vst");
    std::string content = home + "/.local/share/Tamblor/Orvel/";
    std::string log;

    Installation() {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            saved_[name] = std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
    }
    ~Installation() {
        for (const auto& [name, v] : saved_) v ? setenv(name.c_str(), v->c_str(), 1) : unsetenv(name.c_str());
    }
    // The install command as a user runs it, in a login without XDG variables.
    int install(bool withPrefix = true) {
        const std::string logFile = dir.file("install.log");
        const std::string command = "env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u ORVEL_CONTENT_DIR HOME=" +
                                    shellQuoted(home) + " " + shellQuoted(ORVEL_CMAKE_COMMAND) + " --install " +
                                    shellQuoted(ORVEL_BINARY_DIR) + (withPrefix ? " --prefix " + shellQuoted(prefix) : "") +
                                    " > " + shellQuoted(logFile) + " 2>&1";
        const int status = std::system(command.c_str());
        log = readText(logFile);
        return status;
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

} // namespace

TEST(FreshInstall, PutsContentAndSettingsInPlaceAndTheInstalledPluginStartsWithTheDefault) {
    Installation inst;
    {
        TestHost host; // a first start without any content: its folders are relative
        ASSERT_NE(host.open(), nullptr);
    }
    EXPECT_EQ(setting("presetpath0"), "Presets/");
    writeSettingString("presetpath1", "/my/folder/");

    // Into the VST folder of whoever installs, when this tree installs there.
    ASSERT_EQ(inst.install(!ORVEL_INSTALLS_INTO_HOME), 0) << inst.log;
    const std::string installed = ORVEL_INSTALLS_INTO_HOME ? inst.home + "/.vst/Orvel.so" : inst.prefix + "/Orvel.so";
    ASSERT_TRUE(fs::is_regular_file(installed)) << inst.log;
    EXPECT_TRUE(fs::is_empty(inst.content + "Presets/User"));
    EXPECT_TRUE(fs::is_regular_file(inst.content + "Manual/Manual.htm"));
    for (const auto& e : fs::recursive_directory_iterator(kFactoryTexts)) {
        const fs::path zuo = fs::relative(e.path(), kFactoryTexts).replace_extension(".zuo");
        const bool preset = e.path().extension() == ".txt";
        EXPECT_TRUE(!preset || fs::is_regular_file(inst.content + "Presets/" + zuo.string())) << zuo;
    }
    for (const auto& [name, value] :
         {std::pair<const char*, std::string>{"contentpath", inst.content}, {"installpath", inst.content},
          {"presetpath0", inst.content + "Presets/"}, {"presetsavepath0", inst.content + "Presets/User/"},
          {"presetpath1", "/my/folder/"}})
        EXPECT_EQ(setting(name), value) << name;

    {
        // The first start loads default.zuo from the installed preset root.
        // Stepping through the programs is the programs command's test.
        TestHost host(installed);
        ASSERT_NE(host.open(), nullptr);
        host.dispatch(effOpen);
        const std::string text = readText(kFactoryTexts / "default.txt");
        const size_t name = text.find("\nname = ") + 8;
        EXPECT_EQ(host.textOf(effGetProgramName), text.substr(name, text.find('\n', name) - name));
    }

    if (ORVEL_INSTALLS_INTO_HOME) {
        // Without a symbol table or debug information (the build tree keeps both).
        EXPECT_FALSE(fs::exists(inst.prefix));
        EXPECT_NE(readText(ORVEL_PLUGIN_PATH).find(".symtab"), std::string::npos);
        const std::string plugin = readText(installed);
        EXPECT_TRUE(!contains(plugin, ".symtab") && !contains(plugin, ".debug_"));
        // The LV2 bundle, when this tree builds one, into ~/.lv2 the same way.
        if (fs::exists(ORVEL_BINARY_DIR "/Orvel.lv2/manifest.ttl")) {
            const std::string bundle = inst.home + "/.lv2/Orvel.lv2/";
            for (const char* file : {"manifest.ttl", "orvel.ttl", "presets.ttl", "Orvel.so", "Orvel_ui.so"})
                EXPECT_TRUE(fs::is_regular_file(bundle + file)) << file;
            EXPECT_EQ(readText(bundle + "Orvel.so").find(".symtab"), std::string::npos);
        }
    }

    // What the musician changed stays through a second installation, into a folder of their choice.
    writeSettingString("contentpath", "/elsewhere/");
    writeSettingString("presetpath0", "/my/presets/");
    std::ofstream(inst.content + "Presets/User/Mine.zuo") << "mine";
    ASSERT_EQ(inst.install(), 0) << inst.log;
    EXPECT_TRUE(fs::is_regular_file(inst.prefix + "/Orvel.so"));
    EXPECT_EQ(setting("contentpath") + " " + setting("presetpath0"), "/elsewhere/ /my/presets/");
    EXPECT_TRUE(fs::is_regular_file(inst.content + "Presets/User/Mine.zuo"));
}

// `cmake --install` of this build tree into a temporary home, then a host
// loading the installed plug-in: the factory content, the settings that lead
// the plug-in to it, and the factory programs as a host sees them.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "state/SettingsKey.h"
#include "support/TempDir.h"
#include "support/TestHost.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFactoryTexts = fs::path(ORVEL_SOURCE_DIR) / "presets" / "factory";

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// Points the per-user folders of this process at a home, as the plug-in
// would find them when the musician logs in there.
class HomeFolders {
public:
    explicit HomeFolders(const std::string& home) {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            if (const char* v = std::getenv(name)) saved_[name] = v; else saved_[name] = std::nullopt;
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
    }
    ~HomeFolders() {
        for (const auto& [name, v] : saved_) v ? setenv(name.c_str(), v->c_str(), 1) : unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

struct Installation {
    TempDir dir{"orvel-install"};
    std::string home = dir.file("home");
    std::string prefix = dir.file("vst");
    std::string content = home + "/.local/share/Tamblor/Orvel/";

    // The install command as a user runs it, in a login without XDG variables.
    int install(std::string& log, bool withPrefix = true) const {
        const std::string logFile = dir.file("install.log");
        const std::string command = "env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u ORVEL_CONTENT_DIR HOME=" +
                                    quoted(home) + " " + quoted(ORVEL_CMAKE_COMMAND) + " --install " +
                                    quoted(ORVEL_BINARY_DIR) + (withPrefix ? " --prefix " + quoted(prefix) : "") +
                                    " > " + quoted(logFile) + " 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream in(logFile);
        std::stringstream s;
        s << in.rdbuf();
        log = s.str();
        return status;
    }
};

// The key = value items of a factory text.
std::map<std::string, std::string> textItems(const fs::path& file) {
    std::map<std::string, std::string> items;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::istringstream s(line);
        std::string key, eq, value;
        if (line.empty() || line[0] == '#' || !(s >> key >> eq) || eq != "=") continue;
        std::getline(s >> std::ws, value);
        items[key] = value;
    }
    return items;
}

bool holds(const std::string& file, const std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return all.find(bytes) != std::string::npos;
}

// Every factory preset by its name, with its authored items.
std::map<std::string, std::map<std::string, std::string>> factoryPresets() {
    std::map<std::string, std::map<std::string, std::string>> presets;
    for (const auto& e : fs::recursive_directory_iterator(kFactoryTexts)) {
        if (!e.is_regular_file() || e.path().extension() != ".txt" || e.path().parent_path() == kFactoryTexts) continue;
        auto items = textItems(e.path());
        presets[items["name"]] = items;
    }
    return presets;
}

std::vector<float> hostParameters(TestHost& host) {
    std::vector<float> values;
    for (VstInt32 i = 0; i < host.effect()->numParams; ++i) values.push_back(host.getParameter(i));
    return values;
}

std::string indexedName(TestHost& host, VstInt32 index) {
    char name[kVstMaxProgNameLen + 1] = {};
    host.dispatch(effGetProgramNameIndexed, index, 0, name);
    return name;
}

} // namespace

TEST(FreshInstall, PutsPluginContentAndSettingsInPlace) {
    Installation inst;
    std::string log;
    ASSERT_EQ(inst.install(log), 0) << log;
    EXPECT_TRUE(fs::is_regular_file(inst.prefix + "/Orvel.so"));
    EXPECT_TRUE(fs::is_regular_file(inst.content + "Presets/default.zuo"));
    EXPECT_TRUE(fs::is_directory(inst.content + "Presets/User"));
    EXPECT_TRUE(fs::is_empty(inst.content + "Presets/User"));
    EXPECT_TRUE(fs::is_regular_file(inst.content + "Manual/Manual.htm"));
    size_t texts = 0;
    std::set<std::string> folders;
    for (const auto& e : fs::recursive_directory_iterator(kFactoryTexts)) {
        if (!e.is_regular_file() || e.path().extension() != ".txt") continue;
        ++texts;
        fs::path zuo = fs::relative(e.path(), kFactoryTexts).replace_extension(".zuo");
        EXPECT_TRUE(fs::is_regular_file(inst.content + "Presets/" + zuo.string())) << zuo;
        if (zuo.has_parent_path()) folders.insert(zuo.parent_path().string());
    }
    EXPECT_GE(texts, 17u); // the default and at least 16 factory presets
    EXPECT_GE(folders.size(), 3u);

    {
        HomeFolders at(inst.home);
        std::string contentPath, installPath;
        EXPECT_TRUE(readSettingString("contentpath", contentPath));
        EXPECT_TRUE(readSettingString("installpath", installPath));
        EXPECT_EQ(contentPath, inst.content);
        EXPECT_EQ(installPath, inst.content);
        // What the musician changed stays through a second installation.
        writeSettingString("contentpath", "/elsewhere/");
    }
    std::ofstream(inst.content + "Presets/User/Mine.zuo") << "mine";
    ASSERT_EQ(inst.install(log), 0) << log;
    HomeFolders at(inst.home);
    std::string contentPath;
    readSettingString("contentpath", contentPath);
    EXPECT_EQ(contentPath, "/elsewhere/");
    EXPECT_TRUE(fs::is_regular_file(inst.content + "Presets/User/Mine.zuo"));
}

TEST(FreshInstall, PutsThePluginStrippedIntoTheVstFolderOfWhoeverInstalls) {
    if (!ORVEL_INSTALLS_INTO_HOME) GTEST_SKIP() << "this tree installs into a prefix of its own";
    Installation inst;
    std::string log;
    ASSERT_EQ(inst.install(log, false), 0) << log;
    const std::string installed = inst.home + "/.vst/Orvel.so";
    ASSERT_TRUE(fs::is_regular_file(installed)) << log;
    EXPECT_FALSE(fs::exists(inst.prefix));
    // Without a symbol table or debug information (the build tree keeps both),
    // and still a plug-in.
    EXPECT_TRUE(holds(ORVEL_PLUGIN_PATH, ".symtab"));
    EXPECT_FALSE(holds(installed, ".symtab"));
    EXPECT_FALSE(holds(installed, ".debug_"));
    EXPECT_LT(fs::file_size(installed), fs::file_size(ORVEL_PLUGIN_PATH));
    // The LV2 bundle, when this tree builds one, into ~/.lv2 the same way.
    if (fs::exists(ORVEL_BINARY_DIR "/Orvel.lv2/manifest.ttl")) {
        const std::string bundle = inst.home + "/.lv2/Orvel.lv2/";
        for (const char* file : {"manifest.ttl", "orvel.ttl", "presets.ttl", "Orvel.so", "Orvel_ui.so"})
            EXPECT_TRUE(fs::is_regular_file(bundle + file)) << file;
        EXPECT_FALSE(holds(bundle + "Orvel.so", ".symtab"));
    }
    HomeFolders at(inst.home);
    TestHost host(installed);
    ASSERT_NE(host.open(), nullptr);
    EXPECT_EQ(host.effect()->numParams, 38);
    host.close();
}

TEST(FreshInstall, HostSeesAndStepsThroughTheFactoryPrograms) {
    Installation inst;
    std::string log;
    ASSERT_EQ(inst.install(log), 0) << log;
    const auto presets = factoryPresets();
    ASSERT_GE(presets.size(), 16u);
    const auto defaults = textItems(kFactoryTexts / "default.txt");

    HomeFolders at(inst.home);
    TestHost host(inst.prefix + "/Orvel.so");
    ASSERT_NE(host.open(), nullptr);
    host.dispatch(effOpen);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);

    // Each state must be exactly what its text says, parameter by parameter.
    auto expectState = [&](const std::map<std::string, std::string>& items, const std::string& what) {
        for (VstInt32 i = 0; i < host.effect()->numParams; ++i) {
            const std::string key = host.textOf(effGetParamName, i);
            const auto it = items.find(key);
            ASSERT_NE(it, items.end()) << what << " does not set " << key;
            float v = -1;
            std::from_chars(it->second.data(), it->second.data() + it->second.size(), v);
            EXPECT_EQ(host.getParameter(i), v) << what << ": " << key;
        }
    };
    // The first start loads default.zuo from the installed preset root.
    EXPECT_EQ(host.textOf(effGetProgramName), defaults.at("name"));
    expectState(defaults, "the default preset");

    // Step forward as a host's "next program" does, through every folder and
    // round to the start: every factory program once, each with its own state.
    std::set<std::string> seen;
    std::vector<std::string> walk;
    std::vector<float> previous = hostParameters(host);
    for (size_t step = 0; step < presets.size(); ++step) {
        const VstIntPtr next = host.dispatch(effGetProgram) + 1;
        host.dispatch(effSetProgram, 0, next);
        const VstIntPtr current = host.dispatch(effGetProgram);
        const std::string name = indexedName(host, static_cast<VstInt32>(current));
        EXPECT_EQ(host.textOf(effGetProgramName), name);
        ASSERT_TRUE(presets.count(name)) << "program " << current << " is \"" << name << "\"";
        EXPECT_TRUE(seen.insert(name).second) << name << " came twice";
        walk.push_back(name);
        expectState(presets.at(name), name);
        const std::vector<float> now = hostParameters(host);
        EXPECT_NE(now, previous) << name << " left every parameter as it was";
        previous = now;
        // The host sees the current folder's programs by name; past its end, "empty".
        if (current == 0) {
            VstInt32 count = 0;
            while (indexedName(host, count) != "empty") ++count;
            EXPECT_GT(count, 0);
            for (VstInt32 i = 1; i < count; ++i) EXPECT_TRUE(presets.count(indexedName(host, i)));
        }
    }
    EXPECT_EQ(seen.size(), presets.size());
    // Where the first folder is is the file system's business; one more step
    // comes round to the first program of the walk.
    host.dispatch(effSetProgram, 0, host.dispatch(effGetProgram) + 1);
    ASSERT_FALSE(walk.empty());
    EXPECT_EQ(host.textOf(effGetProgramName), walk.front());
    host.close();
}

TEST(FreshInstall, APluginThatRanBeforeTheInstallFindsTheContentAfterIt) {
    Installation inst;
    {
        HomeFolders at(inst.home);
        TestHost host; // a first start without any content: its folders are relative
        ASSERT_NE(host.open(), nullptr);
        host.close();
        std::string presets;
        readSettingString("presetpath0", presets);
        EXPECT_EQ(presets, "Presets/");
        writeSettingString("presetpath1", "/my/folder/");
    }
    std::string log;
    ASSERT_EQ(inst.install(log), 0) << log;
    HomeFolders at(inst.home);
    std::string presets, save, chosen;
    readSettingString("presetpath0", presets);
    readSettingString("presetsavepath0", save);
    readSettingString("presetpath1", chosen);
    EXPECT_EQ(presets, inst.content + "Presets/");
    EXPECT_EQ(save, inst.content + "Presets/User/");
    EXPECT_EQ(chosen, "/my/folder/");
    TestHost host(inst.prefix + "/Orvel.so");
    ASSERT_NE(host.open(), nullptr);
    EXPECT_EQ(host.textOf(effGetProgramName), textItems(kFactoryTexts / "default.txt").at("name"));
    host.dispatch(effSetProgram, 0, 1);
    EXPECT_TRUE(factoryPresets().count(host.textOf(effGetProgramName))) << host.textOf(effGetProgramName);
    host.close();

    // A folder the musician chose is never moved.
    writeSettingString("presetpath0", "/my/presets/");
    ASSERT_EQ(inst.install(log), 0) << log;
    readSettingString("presetpath0", presets);
    EXPECT_EQ(presets, "/my/presets/");
}

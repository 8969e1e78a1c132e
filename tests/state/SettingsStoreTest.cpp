// The settings key as a file in the registry's export text: reads, writes,
// kept lines, unreadable and read-only cases, and the first-run start-up.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "state/PathText.h"
#include "state/Settings.h"
#include "state/SettingsKey.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"

namespace {

std::string stringValue(const char* name) {
    std::string v;
    return readSettingString(name, v) ? v : std::string("<missing>");
}

int32_t intValue(const char* name) {
    int32_t v = -12345;
    readSettingInt(name, v);
    return v;
}

// Permission tests mean nothing to root: there they run in a child that
// has become an ordinary user. Returns whether every check held.
template <typename Checks>
bool asOrdinaryUser(const SettingsSandbox& box, Checks checks) {
    if (geteuid() != 0) return checks();
    std::filesystem::permissions(box.root(), std::filesystem::perms::all);
    for (auto& e : std::filesystem::recursive_directory_iterator(box.root()))
        if (chown(e.path().c_str(), 65534, 65534) != 0) return false;
    if (chown(box.root().c_str(), 65534, 65534) != 0) return false;
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        _exit(checks() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(SettingsKey, WritesTheRegistryExportTextAndReadsItBack) {
    SettingsSandbox box;
    ASSERT_TRUE(writeSettingInt("firstuse", 1));
    ASSERT_TRUE(writeSettingString("presetpath0", "/home/me/Presets/"));
    ASSERT_TRUE(writeSettingString("odd", "a\\b\"c"));
    ASSERT_TRUE(writeSettingInt("negative", -2));
    EXPECT_EQ(box.text(), std::string(SettingsSandbox::kHeader) +
                              "\"firstuse\"=dword:00000001\n"
                              "\"presetpath0\"=\"/home/me/Presets/\"\n"
                              "\"odd\"=\"a\\\\b\\\"c\"\n"
                              "\"negative\"=dword:fffffffe\n");
    EXPECT_EQ(std::pair(intValue("firstuse"), intValue("negative")), std::pair(1, -2));
    EXPECT_EQ(stringValue("odd"), "a\\b\"c");
    EXPECT_EQ(stringValue("presetpath0"), "/home/me/Presets/");

    // Rewriting a value replaces it in place, and a second key object sees it.
    ASSERT_TRUE(writeSettingInt("firstuse", 0x2a));
    int32_t v = 0;
    EXPECT_TRUE(SettingsKey().readInt("firstuse", v) && v == 42) << v;
    EXPECT_NE(box.text().find("\"firstuse\"=dword:0000002a\n\"presetpath0\""), std::string::npos);

    // A value of the other type, or none, leaves the output untouched; names
    // compare without regard to case, as in the registry.
    int32_t n = 99;
    EXPECT_FALSE(readSettingInt("odd", n) || readSettingInt("absent", n));
    EXPECT_EQ(n, 99);
    char out[kSettingsTextSize] = "keep";
    EXPECT_FALSE(readSettingString("negative", out) || readSettingString("absent", out));
    EXPECT_STREQ(out, "keep");
    EXPECT_EQ(intValue("NEGATIVE"), -2);
}

TEST(SettingsKey, KeepsLinesItDoesNotUnderstandAndCountsGarbageAsMissing) {
    SettingsSandbox box;
    box.write("REGEDIT4\r\n\r\n; a comment\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"firstuse\"=dword:00000005\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Tamblor\\Orvel]\r\n\"blob\"=hex:01,02\r\n\"broken\r\n"
              "\"long\"=dword:123456789\r\n\"firstuse\"=dword:00000000\r\n");
    EXPECT_EQ(intValue("firstuse"), 0); // the other key's value is not ours
    EXPECT_EQ(intValue("long"), -12345); // nine digits are no dword
    ASSERT_TRUE(writeSettingInt("firstuse", 1));
    ASSERT_TRUE(writeSettingString("added", "v"));
    EXPECT_EQ(box.text(), "REGEDIT4\r\n\r\n; a comment\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                          "\"firstuse\"=dword:00000005\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tamblor\\Orvel]\r\n"
                          "\"blob\"=hex:01,02\r\n\"broken\r\n\"long\"=dword:123456789\r\n\"firstuse\"=dword:00000001\n"
                          "\"added\"=\"v\"\n");

    const std::string garbage("\x01\xff\x00zz=\"\n[[\n\"a\"=dword:xyz\n", 25);
    box.write(garbage);
    EXPECT_EQ(stringValue("a"), "<missing>");
    ASSERT_TRUE(writeSettingInt("firstuse", 1));
    EXPECT_EQ(box.text().rfind("REGEDIT4\n\n", 0), 0u);
    EXPECT_NE(box.text().find(garbage), std::string::npos);
    EXPECT_EQ(intValue("firstuse"), 1);
}

TEST(SettingsKey, AFileOrFolderThatCannotBeReadWrittenOrMadeFailsQuietlyAndIsKept) {
    SettingsSandbox box;
    ASSERT_TRUE(writeSettingString("presetpath0", "/p/"));
    EXPECT_TRUE(asOrdinaryUser(box, [&] {
        // A read-only folder: writes fail, reads go on, and a start-up does not fail.
        if (chmod(box.keyFolder().c_str(), 0555) != 0) return false;
        bool ok = !writeSettingString("presetpath0", "/q/");
        loadSettings();
        ok = ok && stringValue("presetpath0") == "/p/" && stringValue("installpath") == "<missing>";
        // An unreadable file: every value missing, and not replaced.
        if (chmod(box.keyFolder().c_str(), 0755) != 0 || chmod(box.file().c_str(), 0) != 0) return false;
        ok = ok && stringValue("presetpath0") == "<missing>" && !writeSettingInt("firstuse", 3);
        chmod(box.file().c_str(), 0644);
        return ok && stringValue("presetpath0") == "/p/";
    }));
    EXPECT_EQ(std::filesystem::directory_iterator(box.keyFolder())->path().filename(), "settings.reg");

    // A folder in the file's place reads as missing, too.
    std::filesystem::remove(box.file());
    std::filesystem::create_directories(box.file());
    EXPECT_TRUE(stringValue("presetpath0") == "<missing>" && !writeSettingInt("firstuse", 3));

    // A config folder that cannot be made: every value missing, the switches at their defaults.
    { std::ofstream(box.root() + "/plain") << "x"; }
    setenv("XDG_CONFIG_HOME", (box.root() + "/plain/config").c_str(), 1);
    int32_t v = 5;
    EXPECT_FALSE(readSettingInt("firstuse", v) || writeSettingInt("firstuse", 1) || v != 5);
    const GlobalSwitches s = loadSettings();
    EXPECT_EQ(std::pair(s.ignorePrgChange, s.ccMapRecallIsolate), std::pair(1.0f, 0.0f));
}

TEST(LoadSettings, TheFirstRunWritesTheFoldersFromTheContentPathOnce) {
    for (const std::string content : {"/opt/content/", ""}) {
        SettingsSandbox box;
        if (!content.empty()) writeSettingString("contentpath", content.c_str());
        const GlobalSwitches s = loadSettings();
        EXPECT_EQ(std::tuple(s.ignorePrgChange, s.ccMapRecallIsolate, s.midiAutomation), std::tuple(1.0f, 0.0f, 0.0f));
        EXPECT_EQ(intValue("firstuse"), 1);
        EXPECT_EQ(stringValue("installpath"), box.dataFolder() + "/Tamblor/Orvel/");
        EXPECT_EQ(stringValue("presetpath0"), content + "Presets/");
        EXPECT_EQ(stringValue("presetsavepath0"), content + "Presets/User/");
        EXPECT_EQ(stringValue("audiofilepath"), content + "Samples/Factory");
        EXPECT_EQ(std::pair(intValue("ignorePrgChange"), intValue("CC Map Recall isolate")), std::pair(1, 0));
        EXPECT_EQ(stringValue("contentpath"), content.empty() ? "<missing>" : content); // never written here
        EXPECT_EQ(DirectHost::create()->ignorePrgChange, 1.0f) << "the plug-in drops program changes";

        // A second start rewrites nothing, not even into an equal file, and
        // takes the switches from the store.
        writeSettingString("contentpath", "/elsewhere/"); // would change the folders if they were rewritten
        writeSettingInt("ignorePrgChange", 0);
        writeSettingInt("CC Map Recall isolate", 3);
        writeSettingInt("midiAutomation", 1);
        const std::string before = box.text();
        struct stat st1, st2;
        ASSERT_EQ(stat(box.file().c_str(), &st1), 0);
        const GlobalSwitches stored = loadSettings();
        ASSERT_EQ(stat(box.file().c_str(), &st2), 0);
        EXPECT_TRUE(st1.st_ino == st2.st_ino && box.text() == before) << "the file was rewritten";
        EXPECT_EQ(std::tuple(stored.ignorePrgChange, stored.ccMapRecallIsolate, stored.midiAutomation),
                  std::tuple(0.0f, 3.0f, 1.0f));
        EXPECT_EQ(DirectHost::create()->ignorePrgChange, 0.0f) << "as the store says";
    }
}

TEST(LoadSettings, TheOldSingleFolderValueMovesOrElseTheInstallPathServes) {
    for (bool old : {true, false}) {
        SettingsSandbox box;
        writeSettingInt("firstuse", 1);
        writeSettingString("installpath", "/inst/");
        if (old) writeSettingString("presetpath", "/old/presets/");
        loadSettings();
        EXPECT_EQ(stringValue("presetpath0") + " " + stringValue("presetpath"),
                  old ? "/old/presets/ /old/presets/" : "/inst/ <missing>");
    }
}

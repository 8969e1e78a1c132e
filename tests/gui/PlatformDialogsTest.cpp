// The desktop helpers the plug-in starts: the file choosers through zenity or
// kdialog and the document opener. Fake helpers on PATH record their
// arguments and answer as the real ones do.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <thread>

#include "gui/ChildProcess.h"
#include "gui/FileDialog.h"
#include "gui/ShellOpen.h"
#include "support/MessageCapture.h"
#include "support/TempDir.h"

namespace {

// Waits up to ten seconds for a file to have contents.
std::string awaitFile(const std::string& path) {
    for (int i = 0; i < 200 && readText(path).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return readText(path);
}

// Sets PATH to a folder of fake helpers and DISPLAY to a name, and puts both back.
class FakeDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "";
        setenv("PATH", bin_.path().c_str(), 1);
        setenv("DISPLAY", ":99", 1);
        setFileDialogHandler({});
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        unsetenv("DISPLAY");
    }
    void script(const std::string& name, const std::string& body) {
        std::ofstream(bin_.file(name)) << "#!/bin/sh\n" << body;
        chmod(bin_.file(name).c_str(), 0755);
    }
    // A helper that writes each argument on a line of its own to <name>.args,
    // prints 'answer' and exits with 'status'.
    void fake(const std::string& name, const std::string& answer, int status) {
        std::remove(bin_.file(name + ".args").c_str());
        std::ofstream(bin_.file(name + ".answer")) << answer;
        script(name, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + bin_.file(name + ".args") +
                         "'\n/bin/cat '" + bin_.file(name + ".answer") + "'\nexit " + std::to_string(status) + "\n");
    }
    std::string argsOf(const std::string& name) { return readText(bin_.file(name + ".args")); }
    // Shell text that waits until the test releases it, or its folder goes
    // (so a failed test leaves no process behind), then marks that it ended.
    std::string waitForRelease() {
        return "while [ ! -e '" + bin_.file("release") + "' ] && [ -d '" + bin_.path() +
               "' ]; do /bin/sleep 0.05; done\nprintf done > '" + bin_.file("finished") + "'\n";
    }
    // Releases the waiting process and waits until it has ended.
    void release() {
        std::ofstream(bin_.file("release")) << "x";
        EXPECT_EQ(awaitFile(bin_.file("finished")), "done");
    }

    static FileDialogRequest request(FileDialogKind kind, const std::string& folder = "") {
        if (kind == FileDialogKind::Folder) return {kind, "Choose Preset Directory", "", "", folder};
        return {kind, "Choose a file to load", "Preset file", "zuo", folder};
    }

    TempDir bin_{"orvel-fake-bin"};
    std::string oldPath_;
};

} // namespace

TEST_F(FakeDesktop, ZenityOrElseKdialogGetsTheArgumentsOfEachChoice) {
    const std::string home = std::getenv("HOME");
    const struct {
        const char* helper;
        FileDialogKind kind;
        const char* folder;
        std::string args;
    } cases[] = {
        {"zenity", FileDialogKind::Open, "",
         "--file-selection\n--title=Choose a file to load\n--file-filter=Preset file | *.zuo\n"},
        // a start folder gets a trailing separator, so zenity opens in it
        {"zenity", FileDialogKind::Save, "/home/me/My Presets",
         "--file-selection\n--title=Choose a file to load\n--filename=/home/me/My Presets/\n--save\n"
         "--confirm-overwrite\n--file-filter=Preset file | *.zuo\n"},
        {"zenity", FileDialogKind::Folder, "", "--file-selection\n--title=Choose Preset Directory\n--directory\n"},
        {"kdialog", FileDialogKind::Save, "", "--title\nChoose a file to load\n--getsavefilename\n" + home + "\n*.zuo|Preset file\n"},
        {"kdialog", FileDialogKind::Open, "/srv", "--title\nChoose a file to load\n--getopenfilename\n/srv/\n*.zuo|Preset file\n"},
        {"kdialog", FileDialogKind::Folder, "/srv/presets/",
         "--title\nChoose Preset Directory\n--getexistingdirectory\n/srv/presets/\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        if (c.helper == std::string("kdialog")) std::remove(bin_.file("zenity").c_str());
        fake(c.helper, "/home/me/My Presets/it's \"warm\".zuo\nsecond line\n", 0);
        std::string chosen;
        ASSERT_TRUE(runFileDialog(request(c.kind, c.folder), chosen));
        EXPECT_EQ(chosen, "/home/me/My Presets/it's \"warm\".zuo");
        EXPECT_EQ(argsOf(c.helper), c.args);
    }
}

TEST_F(FakeDesktop, CancelledEmptyOrMissingDialogsChooseNothing) {
    std::string chosen = "unchanged";
    MessageCapture messages;
    // Neither helper installed: the user is told what to install.
    EXPECT_FALSE(runFileDialog(request(FileDialogKind::Open), chosen));
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(messages.texts()[0].find("zenity or kdialog"), std::string::npos);
    EXPECT_NE(messages.texts()[0].find("apt install zenity"), std::string::npos);
    // Cancelled (zenity exits with 1), or an empty answer.
    fake("zenity", "/ignored.zuo", 1);
    EXPECT_FALSE(runFileDialog(request(FileDialogKind::Open), chosen));
    fake("zenity", "", 0);
    EXPECT_FALSE(runFileDialog(request(FileDialogKind::Open), chosen));
    // No display to show it on: the helper is not even started.
    fake("zenity", "/a.zuo", 0);
    unsetenv("DISPLAY");
    EXPECT_FALSE(runFileDialog(request(FileDialogKind::Open), chosen));
    EXPECT_EQ(argsOf("zenity"), "");
    EXPECT_EQ(chosen, "unchanged");
    EXPECT_EQ(messages.texts().size(), 1u); // cancelling and a missing display say nothing
}

TEST_F(FakeDesktop, ADialogThatExitsWhileItsOffspringHoldsTheOutputStillAnswers) {
    // The helper prints its answer and exits, leaving behind a process that
    // inherited its standard output and lives until released.
    script("zenity", "(" + waitForRelease() + ") &\nprintf '%s\\n' '/home/me/kept.zuo'\nexit 0\n");
    auto answer = std::async(std::launch::async, [] {
        std::string chosen;
        return runFileDialog(request(FileDialogKind::Open), chosen) ? chosen : std::string("cancelled");
    });
    const bool cameBack = answer.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    release(); // lets a hanging reader go too
    EXPECT_TRUE(cameBack) << "the dialog waited for a process it did not start";
    EXPECT_EQ(answer.get(), "/home/me/kept.zuo");
}

TEST_F(FakeDesktop, DocumentsOpenThroughXdgOpenWithoutWaitingOrFailCleanly) {
    MessageCapture messages;
    EXPECT_FALSE(openDocument("/x.htm")); // no xdg-open on PATH: the user is told what to install
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(messages.texts()[0].find("apt install xdg-utils"), std::string::npos);
    EXPECT_NE(messages.texts()[0].find("/x.htm"), std::string::npos);
    // An xdg-open that is there but cannot be run (its interpreter is missing).
    script("xdg-open", "");
    std::ofstream(bin_.file("xdg-open")) << "#!/nonexistent/interpreter\n";
    EXPECT_FALSE(openDocument("/w.htm"));
    ASSERT_EQ(messages.texts().size(), 2u);
    EXPECT_NE(messages.texts()[1].find("could not start"), std::string::npos);

    // The fake viewer records its argument and then keeps running until the
    // test releases it: openDocument coming back at all shows it did not wait.
    script("xdg-open", "printf '%s' \"$1\" > '" + bin_.file("opened.tmp") + "'\n/bin/mv '" + bin_.file("opened.tmp") +
                           "' '" + bin_.file("opened") + "'\n" + waitForRelease());
    ASSERT_TRUE(openDocument("/opt/Orvel/Manual/Manual.htm"));
    EXPECT_EQ(awaitFile(bin_.file("opened")), "/opt/Orvel/Manual/Manual.htm");
    EXPECT_EQ(readText(bin_.file("finished")), ""); // still running after openDocument came back
    release();

    setShellOpenHandler([](const std::string&) -> bool { throw 1; });
    EXPECT_FALSE(openDocument("/z.htm"));
    setShellOpenHandler({});
}

TEST(ChildProcess, ReportsTheRealOutcomeAlsoInAHostThatIgnoresSIGCHLDAndLeavesItSo) {
    TempDir dir("orvel-exec");
    const std::string broken = dir.file("broken"), mark = dir.file("started");
    std::ofstream(broken) << "#!/nonexistent/interpreter\n"; // found and executable, but exec fails
    chmod(broken.c_str(), 0755);
    for (bool hostIgnores : {false, true}) {
        SCOPED_TRACE(hostIgnores);
        struct sigaction ignore {}, before{}, after{};
        ignore.sa_handler = SIG_IGN;
        if (hostIgnores) sigaction(SIGCHLD, &ignore, &before);
        std::string out;
        int code = -5;
        // The helper itself starts with SIGCHLD at its default (bit 17 of SigIgn clear).
        EXPECT_TRUE(runAndCapture("/bin/sh", {"/bin/sh", "-c", "printf 'a\\nb'; echo err >&2; "
                                  "mask=$(sed -n 's/^SigIgn:[[:space:]]*//p' /proc/self/status); "
                                  "printf %s $(( 0x$mask >> 16 & 1 )); exit 3"}, out, code));
        EXPECT_EQ(out, "a\nb0");
        EXPECT_EQ(code, 3);
        // A program that exits with 127 itself was still started.
        EXPECT_TRUE(runAndCapture("/bin/sh", {"/bin/sh", "-c", "exit 127"}, out, code));
        EXPECT_EQ(code, 127);
        for (const std::string& bad : {broken, std::string("/nonexistent/program")}) {
            EXPECT_FALSE(runAndCapture(bad, {bad}, out, code));
            EXPECT_FALSE(startDetached(bad, {bad}));
        }
        std::remove(mark.c_str());
        EXPECT_TRUE(startDetached("/bin/sh", {"/bin/sh", "-c", "printf yes > '" + mark + "'"}));
        EXPECT_EQ(awaitFile(mark), "yes");
        if (hostIgnores) {
            sigaction(SIGCHLD, &before, &after);
            EXPECT_EQ(after.sa_handler, SIG_IGN); // the host's choice is kept
        }
    }
}

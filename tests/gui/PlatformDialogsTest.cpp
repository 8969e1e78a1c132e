// The desktop helpers the plug-in starts: the file choosers through zenity or
// kdialog and the document opener. Fake helpers on PATH record their
// arguments and answer as the real ones do.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "gui/ChildProcess.h"
#include "gui/FileDialog.h"
#include "gui/ShellOpen.h"
#include "support/TempDir.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
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
    // A helper that writes each argument on a line of its own to <name>.args,
    // prints 'answer' and exits with 'status'.
    void fake(const std::string& name, const std::string& answer, int status) {
        const std::string file = bin_.file(name);
        std::remove(bin_.file(name + ".args").c_str());
        std::ofstream(bin_.file(name + ".answer")) << answer;
        std::ofstream out(file);
        out << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << bin_.file(name + ".args")
            << "'\n/bin/cat '" << bin_.file(name + ".answer") << "'\nexit " << status << "\n";
        out.close();
        chmod(file.c_str(), 0755);
    }
    std::string argsOf(const std::string& name) { return readFile(bin_.file(name + ".args")); }

    static FileDialogRequest request(FileDialogKind kind) {
        FileDialogRequest r;
        r.kind = kind;
        r.title = kind == FileDialogKind::Folder ? "Choose Preset Directory" : "Choose a file to load";
        if (kind != FileDialogKind::Folder) {
            r.fileType = "Preset file";
            r.extension = "zuo";
        }
        return r;
    }

    TempDir bin_{"orvel-fake-bin"};
    std::string oldPath_;
};

} // namespace

TEST_F(FakeDesktop, ZenityChoosesFilesAndFoldersWithThePresetFilter) {
    fake("zenity", "/home/me/My Presets/it's \"warm\".zuo\n", 0);
    std::string chosen;
    ASSERT_TRUE(runFileDialog(request(FileDialogKind::Open), chosen));
    EXPECT_EQ(chosen, "/home/me/My Presets/it's \"warm\".zuo");
    EXPECT_EQ(argsOf("zenity"), "--file-selection\n--title=Choose a file to load\n--file-filter=Preset file | *.zuo\n");

    ASSERT_TRUE(runFileDialog(request(FileDialogKind::Save), chosen));
    EXPECT_EQ(argsOf("zenity"), "--file-selection\n--title=Choose a file to load\n--save\n--confirm-overwrite\n"
                                "--file-filter=Preset file | *.zuo\n");

    fake("zenity", "/home/me/Presets\n", 0);
    ASSERT_TRUE(runFileDialog(request(FileDialogKind::Folder), chosen));
    EXPECT_EQ(chosen, "/home/me/Presets");
    EXPECT_EQ(argsOf("zenity"), "--file-selection\n--title=Choose Preset Directory\n--directory\n");
}

TEST_F(FakeDesktop, CancelledEmptyOrMissingDialogsChooseNothing) {
    std::string chosen = "unchanged";
    // Neither helper installed.
    EXPECT_FALSE(runFileDialog(request(FileDialogKind::Open), chosen));
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
}

TEST_F(FakeDesktop, KdialogIsTheFallbackWithItsOwnArguments) {
    fake("kdialog", "/home/me/a b.zuo\n", 0);
    std::string chosen;
    ASSERT_TRUE(runFileDialog(request(FileDialogKind::Save), chosen));
    EXPECT_EQ(chosen, "/home/me/a b.zuo");
    const std::string home = std::getenv("HOME");
    EXPECT_EQ(argsOf("kdialog"), "--title\nChoose a file to load\n--getsavefilename\n" + home + "\n*.zuo|Preset file\n");
    fake("kdialog", "/x\n", 0);
    ASSERT_TRUE(runFileDialog(request(FileDialogKind::Folder), chosen));
    EXPECT_EQ(argsOf("kdialog"), "--title\nChoose Preset Directory\n--getexistingdirectory\n" + home + "\n");
}

TEST_F(FakeDesktop, AnInstalledHandlerAnswersInsteadOfTheDesktop) {
    fake("zenity", "/from-zenity.zuo", 0);
    setFileDialogHandler([](const FileDialogRequest&, std::string& out) {
        out = "/scripted.zuo";
        return true;
    });
    std::string chosen;
    ASSERT_TRUE(runFileDialog(request(FileDialogKind::Open), chosen));
    EXPECT_EQ(chosen, "/scripted.zuo");
    setFileDialogHandler({});
}

TEST_F(FakeDesktop, DocumentsOpenThroughXdgOpenWithoutWaiting) {
    // The fake viewer records its argument and then keeps running until the
    // test releases it: openDocument coming back at all shows it did not wait.
    const std::string file = bin_.file("xdg-open");
    {
        std::ofstream out(file);
        out << "#!/bin/sh\nprintf '%s' \"$1\" > '" << bin_.file("opened.tmp") << "'\n/bin/mv '"
            << bin_.file("opened.tmp") << "' '" << bin_.file("opened") << "'\nwhile [ ! -e '" << bin_.file("release")
            << "' ]; do /bin/sleep 0.05; done\nprintf done > '" << bin_.file("finished") << "'\n";
    }
    chmod(file.c_str(), 0755);
    ASSERT_TRUE(openDocument("/opt/Orvel/Manual/Manual.htm"));
    for (int i = 0; i < 200 && readFile(bin_.file("opened")).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(readFile(bin_.file("opened")), "/opt/Orvel/Manual/Manual.htm");
    EXPECT_EQ(readFile(bin_.file("finished")), ""); // still running after openDocument came back
    std::ofstream(bin_.file("release")) << "x";
    for (int i = 0; i < 200 && readFile(bin_.file("finished")).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(readFile(bin_.file("finished")), "done");
}

TEST_F(FakeDesktop, ADialogThatExitsWhileItsOffspringHoldsTheOutputStillAnswers) {
    // The helper prints its answer and exits, leaving behind a process that
    // inherited its standard output and lives until released.
    const std::string file = bin_.file("zenity");
    {
        std::ofstream out(file);
        out << "#!/bin/sh\n(while [ ! -e '" << bin_.file("release") << "' ]; do /bin/sleep 0.05; done) &\n"
            << "printf '%s\\n' '/home/me/kept.zuo'\nexit 0\n";
    }
    chmod(file.c_str(), 0755);
    auto answer = std::async(std::launch::async, [] {
        std::string chosen;
        return runFileDialog(request(FileDialogKind::Open), chosen) ? chosen : std::string("cancelled");
    });
    const bool cameBack = answer.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    std::ofstream(bin_.file("release")) << "x"; // lets a hanging reader go too
    EXPECT_TRUE(cameBack) << "the dialog waited for a process it did not start";
    EXPECT_EQ(answer.get(), "/home/me/kept.zuo");
}

TEST_F(FakeDesktop, OpeningFailsCleanlyWithoutAViewerAndHandlersCanAnswer) {
    EXPECT_FALSE(openDocument("/x.htm")); // no xdg-open on PATH
    std::string asked;
    setShellOpenHandler([&](const std::string& p) {
        asked = p;
        return true;
    });
    EXPECT_TRUE(openDocument("/y.htm"));
    EXPECT_EQ(asked, "/y.htm");
    setShellOpenHandler([](const std::string&) -> bool { throw 1; });
    EXPECT_FALSE(openDocument("/z.htm"));
    setShellOpenHandler({});
}

TEST(ChildProcess, CapturesOutputAndExitStatus) {
    std::string out;
    int code = -5;
    ASSERT_TRUE(runAndCapture("/bin/sh", {"/bin/sh", "-c", "printf 'a\\nb'; echo err >&2; exit 3"}, out, code));
    EXPECT_EQ(out, "a\nb");
    EXPECT_EQ(code, 3);
    EXPECT_FALSE(runAndCapture("/nonexistent/program", {"/nonexistent/program"}, out, code));
    EXPECT_EQ(findProgramOnPath("no-such-program-orvel"), "");
    EXPECT_EQ(findProgramOnPath("sh").empty(), false);
}

// A replaced file is either the old one or the new one: a writer killed
// midway (by a file size limit) leaves the previous content intact.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "state/AtomicFile.h"
#include "support/TempDir.h"

TEST(AtomicFile, WritesAndReplacesAlsoThroughALink) {
    TempDir dir;
    const std::string path = dir.file("f.bin");
    for (const std::string content : {"one", "", "three"}) {
        ASSERT_TRUE(writeFileAtomically(path, content.data(), content.size()));
        EXPECT_EQ(readText(path), content);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left behind";
    EXPECT_FALSE(writeFileAtomically(dir.file("missing/f.bin"), "x", 1));
    EXPECT_FALSE(writeFileAtomically("", "x", 1));
    // Through a link: the target is replaced and the link kept.
    std::filesystem::create_symlink(path, dir.file("link"));
    ASSERT_TRUE(writeFileAtomically(dir.file("link"), "new", 3));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));
    EXPECT_EQ(readText(path), "new");
}

// A failed write that reports itself is tested through the preset save.
TEST(AtomicFile, AWriterKilledMidwayKeepsThePreviousFile) {
    TempDir dir;
    const std::string path = dir.file("f.bin");
    ASSERT_TRUE(writeFileAtomically(path, "previous", 8));
    const std::string big(1 << 16, 'x');
    const pid_t pid = fork();
    if (pid == 0) {
        struct rlimit rl{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &rl);
        _exit(writeFileAtomically(path, big.data(), big.size()) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    EXPECT_EQ(readText(path), "previous");
}

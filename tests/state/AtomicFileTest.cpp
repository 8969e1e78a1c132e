// A replaced file is either the old one or the new one: a write that fails
// (a full disk, simulated by a file size limit) or a writer killed midway
// leaves the previous content intact.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "state/AtomicFile.h"
#include "support/TempDir.h"

namespace {

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

size_t filesIn(const std::string& folder) {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder); it != std::filesystem::directory_iterator(); ++it) ++n;
    return n;
}

// Runs work in a child whose files may not grow beyond limit bytes; returns
// the child's wait status.
template <typename Work>
int inChildWithFileLimit(rlim_t limit, bool ignoreSignal, Work work) {
    const pid_t pid = fork();
    if (pid == 0) {
        struct rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        if (ignoreSignal) signal(SIGXFSZ, SIG_IGN);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

} // namespace

TEST(AtomicFile, WritesAndReplacesAlsoThroughALink) {
    TempDir dir;
    const std::string path = dir.file("f.bin");
    ASSERT_TRUE(writeFileAtomically(path, "one", 3));
    EXPECT_EQ(contentOf(path), "one");
    ASSERT_TRUE(writeFileAtomically(path, "", 0));
    EXPECT_EQ(contentOf(path), "");
    ASSERT_TRUE(writeFileAtomically(path, "three", 5));
    EXPECT_EQ(contentOf(path), "three");
    EXPECT_EQ(filesIn(dir.path()), 1u); // no temporary left behind
    EXPECT_FALSE(writeFileAtomically(dir.file("missing/f.bin"), "x", 1));
    EXPECT_FALSE(writeFileAtomically("", "x", 1));
    // Through a link: the target is replaced and the link kept.
    std::filesystem::create_symlink(path, dir.file("link"));
    ASSERT_TRUE(writeFileAtomically(dir.file("link"), "new", 3));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));
    EXPECT_EQ(contentOf(path), "new");
}

TEST(AtomicFile, AFailedWriteOrAWriterKilledMidwayKeepsThePreviousFile) {
    for (bool killed : {false, true}) {
        TempDir dir;
        const std::string path = dir.file("f.bin");
        ASSERT_TRUE(writeFileAtomically(path, "previous", 8));
        const std::string big(1 << 16, 'x');
        const int status =
            inChildWithFileLimit(1000, !killed, [&] { return writeFileAtomically(path, big.data(), big.size()); });
        if (killed) {
            ASSERT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
        } else {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 1); // the write reported its failure
            EXPECT_EQ(filesIn(dir.path()), 1u); // and removed its temporary
        }
        EXPECT_EQ(contentOf(path), "previous");
    }
}

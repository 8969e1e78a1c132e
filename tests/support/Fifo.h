// FIFOs in the place of files, and a bound on work that could block on one.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

inline void makeFifo(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
}

inline bool isFifo(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// A reader blocked opening a FIFO goes on once a writer comes, and reads an
// end of file when it leaves.
inline std::function<void()> writerFor(std::vector<std::string> fifos) {
    return [fifos] {
        for (const std::string& f : fifos) {
            const int fd = open(f.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) close(fd);
        }
    };
}

// Runs work on a thread of its own. When it has not returned within the
// limit, release is called until it does (it must make the work return) and
// the answer is false; a release that cannot help ends the test run.
inline bool returnsWithin(std::chrono::seconds limit, const std::function<void()>& work,
                          const std::function<void()>& release) {
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker([&] {
        work();
        finished.set_value();
    });
    const bool prompt = done.wait_for(limit) == std::future_status::ready;
    for (int attempt = 0; !prompt && attempt < 100; ++attempt) {
        release();
        if (done.wait_for(std::chrono::milliseconds(100)) == std::future_status::ready) break;
    }
    if (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        std::fprintf(stderr, "the work under test still runs after %lld s and cannot be released\n",
                     static_cast<long long>(limit.count()));
        std::_Exit(1);
    }
    worker.join();
    return prompt;
}

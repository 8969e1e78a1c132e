#include "gui/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> v;
    v.reserve(args.size() + 1);
    for (const std::string& a : args) v.push_back(const_cast<char*>(a.c_str()));
    v.push_back(nullptr);
    return v;
}

// In the child: standard input from /dev/null, standard error to /dev/null.
void quietStandardStreams(int nullFd) {
    if (nullFd < 0) return;
    dup2(nullFd, STDIN_FILENO);
    dup2(nullFd, STDERR_FILENO);
}

pid_t waitFor(pid_t pid, int& status) {
    pid_t r;
    do r = waitpid(pid, &status, 0);
    while (r < 0 && errno == EINTR);
    return r;
}

} // namespace

std::string findProgramOnPath(const std::string& name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        // Appended piece by piece: GCC 12 warns falsely on a + "/" + b here.
        std::string candidate(dirs, start, end - start);
        if (candidate.empty()) candidate.push_back('.');
        candidate.push_back('/');
        candidate.append(name);
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

bool startDetached(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv = argvOf(args);
    const int nullFd = open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t child = fork();
    if (child < 0) {
        if (nullFd >= 0) close(nullFd);
        return false;
    }
    if (child == 0) {
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            quietStandardStreams(nullFd);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    if (nullFd >= 0) close(nullFd);
    int status = 0;
    if (waitFor(child, status) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool runAndCapture(const std::string& program, const std::vector<std::string>& args, std::string& output,
                   int& exitCode) {
    std::vector<char*> argv = argvOf(args);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    const int nullFd = open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        if (nullFd >= 0) close(nullFd);
        return false;
    }
    if (child == 0) {
        quietStandardStreams(nullFd);
        dup2(fds[1], STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    if (nullFd >= 0) close(nullFd);
    output.clear();
    // Read until end of output; but a helper that dies while something it
    // started still holds the pipe must not keep the host waiting, so a quiet
    // pipe is a cue to look whether the child is still there.
    int status = 0;
    bool reaped = false;
    char buffer[4096];
    for (;;) {
        pollfd ready{fds[0], POLLIN, 0};
        const int r = poll(&ready, 1, 100);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (r == 0) {
            pid_t gone;
            do gone = waitpid(child, &status, WNOHANG);
            while (gone < 0 && errno == EINTR);
            if (gone == 0) continue; // still choosing
            reaped = gone == child;
            if (!reaped) break;
            // Take what it wrote before it went, without waiting for more.
            fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
            ssize_t n;
            while ((n = read(fds[0], buffer, sizeof buffer)) > 0 && output.size() <= (1u << 20))
                output.append(buffer, size_t(n));
            break;
        }
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, size_t(n));
            if (output.size() > (1u << 20)) break; // no path is this long
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(fds[0]);
    if (!reaped && waitFor(child, status) < 0) return false;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
}

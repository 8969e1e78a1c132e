#include "gui/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

// Every helper is started through a supervising child. The parent learns the
// outcome from a close-on-exec status pipe, never from waitpid: a host that
// sets SIGCHLD to SIG_IGN has its children reaped by the kernel, and their
// exit status is lost. The supervisor puts SIGCHLD back to the default for
// itself, so it can wait for the helper and pass the status on.

namespace {

// Records on the status pipe: one byte of kind, then an int.
enum : char { kExecFailed = 'E', kForkFailed = 'F', kExited = 'X' };

struct StatusRecord {
    char kind = 0;
    int value = 0;
};

std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> v;
    v.reserve(args.size() + 1);
    for (const std::string& a : args) v.push_back(const_cast<char*>(a.c_str()));
    v.push_back(nullptr);
    return v;
}

// In a child (async-signal-safe only): one record, written in one piece.
void report(int fd, char kind, int value) {
    char bytes[1 + sizeof(int)];
    bytes[0] = kind;
    for (size_t i = 0; i < sizeof(int); ++i) bytes[1 + i] = reinterpret_cast<const char*>(&value)[i];
    while (write(fd, bytes, sizeof bytes) < 0 && errno == EINTR) {
    }
}

// In a child: the signal state a freshly started program expects, whatever
// the host's thread had; standard input and error from and to /dev/null.
void prepareChild(int nullFd) {
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(SIGCHLD, &standard, nullptr);
    sigaction(SIGPIPE, &standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (nullFd < 0) return;
    dup2(nullFd, STDIN_FILENO);
    dup2(nullFd, STDERR_FILENO);
}

// In a child: runs the program; only a failed exec comes back.
[[noreturn]] void execOrReport(const std::string& program, std::vector<char*>& argv, int statusFd) {
    execv(program.c_str(), argv.data());
    report(statusFd, kExecFailed, errno);
    _exit(127);
}

// Reaps the supervisor. Under SIG_IGN the kernel already has (ECHILD).
void reap(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Reads the records until every writer has gone; the first one counts.
StatusRecord readStatus(int fd) {
    StatusRecord first;
    char bytes[1 + sizeof(int)];
    size_t have = 0;
    for (;;) {
        const ssize_t n = read(fd, bytes + have, sizeof bytes - have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += size_t(n);
        if (have < sizeof bytes) continue;
        if (!first.kind) {
            first.kind = bytes[0];
            for (size_t i = 0; i < sizeof(int); ++i) reinterpret_cast<char*>(&first.value)[i] = bytes[1 + i];
        }
        have = 0;
    }
    return first;
}

struct Pipe {
    int read = -1, write = -1;
    bool open() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return false;
        read = fds[0];
        write = fds[1];
        return true;
    }
    void closeRead() { closeFd(read); }
    void closeWrite() { closeFd(write); }
    ~Pipe() {
        closeRead();
        closeWrite();
    }

private:
    static void closeFd(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
};

struct NullDevice {
    int fd = open("/dev/null", O_RDWR | O_CLOEXEC);
    ~NullDevice() {
        if (fd >= 0) close(fd);
    }
};

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
    NullDevice null;
    Pipe status;
    if (!status.open()) return false;
    const pid_t supervisor = fork();
    if (supervisor < 0) return false;
    if (supervisor == 0) {
        // The helper runs as an orphan in a session of its own, so it
        // leaves no zombie in the host and outlives it if it must.
        prepareChild(null.fd);
        setsid();
        const pid_t helper = fork();
        if (helper == 0) execOrReport(program, argv, status.write);
        if (helper < 0) report(status.write, kForkFailed, errno);
        _exit(0);
    }
    status.closeWrite();
    // End of the pipe: the supervisor has exited and the helper has either
    // exec'd (closing its copy) or reported why it could not.
    const StatusRecord outcome = readStatus(status.read);
    reap(supervisor);
    return outcome.kind == 0;
}

bool runAndCapture(const std::string& program, const std::vector<std::string>& args, std::string& output,
                   int& exitCode) {
    std::vector<char*> argv = argvOf(args);
    NullDevice null;
    Pipe captured, status;
    if (!captured.open() || !status.open()) return false;
    const pid_t supervisor = fork();
    if (supervisor < 0) return false;
    if (supervisor == 0) {
        prepareChild(null.fd);
        const pid_t helper = fork();
        if (helper == 0) {
            dup2(captured.write, STDOUT_FILENO);
            execOrReport(program, argv, status.write);
        }
        if (helper < 0) {
            report(status.write, kForkFailed, errno);
            _exit(1);
        }
        close(captured.write);
        int result = 0;
        pid_t r;
        do r = waitpid(helper, &result, 0);
        while (r < 0 && errno == EINTR);
        // An exec failure was reported first; this record then does not count.
        report(status.write, kExited, WIFEXITED(result) ? WEXITSTATUS(result) : -1);
        _exit(0);
    }
    captured.closeWrite();
    status.closeWrite();
    output.clear();
    // The output is read until the helper has ended (the status pipe ends),
    // not until its end of file: a helper that exits while a process it
    // started still holds the output must not keep the host waiting.
    char buffer[4096];
    bool helperEnded = false;
    while (!helperEnded) {
        // A closed output (negative descriptor) is left out by poll.
        pollfd ready[2] = {{captured.read, POLLIN, 0}, {status.read, POLLIN, 0}};
        if (poll(ready, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (ready[1].revents) helperEnded = true;
        if (ready[0].revents) {
            const ssize_t n = read(captured.read, buffer, sizeof buffer);
            if (n > 0 && output.size() <= (1u << 20)) output.append(buffer, size_t(n)); // no path is this long
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) captured.closeRead();
        }
    }
    // Take what it wrote before it went, without waiting for more.
    if (captured.read >= 0) {
        fcntl(captured.read, F_SETFL, fcntl(captured.read, F_GETFL) | O_NONBLOCK);
        ssize_t n;
        while ((n = read(captured.read, buffer, sizeof buffer)) > 0 && output.size() <= (1u << 20))
            output.append(buffer, size_t(n));
    }
    const StatusRecord outcome = readStatus(status.read);
    reap(supervisor);
    if (outcome.kind != kExited) return false; // not started
    exitCode = outcome.value;
    return true;
}

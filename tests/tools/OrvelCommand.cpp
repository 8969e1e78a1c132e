#include "tools/OrvelCommand.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "support/TempDir.h"

extern char** environ;

int startOrvel(const std::vector<std::string>& args, const std::string& outPath, const std::string& errPath) {
    // ORVEL_COMMAND runs these tests on another build of the command (the AddressSanitizer one).
    const char* other = std::getenv("ORVEL_COMMAND");
    const std::string binary = other && *other ? other : ORVEL_BINARY_DIR "/tools/orvel";
    std::vector<std::string> argvStrings = std::vector<std::string>{binary} + args;
    std::vector<char*> argv;
    for (std::string& s : argvStrings) argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    // The command keeps a signal its parent ignores, as nohup expects; a test
    // run started in the background ignores SIGINT, so the child starts with
    // the defaults a user's terminal gives it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, binary.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) return pid;
    ADD_FAILURE() << "cannot run " << binary;
    return 0;
}

CommandResult runOrvel(const std::vector<std::string>& args) {
    TempDir dir("orvel-run");
    CommandResult result;
    const pid_t pid = startOrvel(args, dir.file("out"), dir.file("err"));
    int status = 0;
    if (pid == 0 || waitpid(pid, &status, 0) != pid) return result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readText(dir.file("out"));
    result.err = readText(dir.file("err"));
    return result;
}

CommandResult expectFailure(const std::vector<std::string>& args, int status, const std::string& message) {
    CommandResult r = runOrvel(args);
    EXPECT_EQ(r.status, status) << message;
    EXPECT_EQ(r.err.rfind("orvel: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
    EXPECT_TRUE(contains(r.err, message)) << r.err;
    return r;
}

void writeSoundFile(const std::string& path, int sampleRate, int channels, size_t frames, int format,
                    const std::function<float(size_t, int)>& signal) {
    SF_INFO info{0, sampleRate, channels, format, 0, 0};
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    std::vector<float> samples;
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) samples.push_back(signal(i, c));
    sf_writef_float(f, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(f);
}

SoundFile readSoundFile(const std::string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) {
        ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
        return {};
    }
    SoundFile result{info.samplerate, info.channels, info.format, std::vector<float>(size_t(info.frames * info.channels))};
    sf_readf_float(f, result.samples.data(), info.frames);
    sf_close(f);
    return result;
}

std::function<float(size_t, int)> sine(double frequency, double sampleRate, float peak) {
    return [=](size_t i, int) {
        return peak * static_cast<float>(std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / sampleRate));
    };
}

float peakFrom(const SoundFile& f, size_t from) {
    float peak = 0.0f;
    for (size_t i = from * static_cast<size_t>(f.channels); i < f.samples.size(); ++i)
        peak = std::max(peak, std::fabs(f.samples[i]));
    return peak;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(folder)) found.push_back(e.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}

// Runs the built orvel command as a user would, and makes and reads the
// sound files it works on (with libsndfile, independently of the tool).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/TempDir.h"

struct CommandResult {
    int status = -1; // the exit status; -1 when the command did not exit normally
    std::string out;
    std::string err;
};

CommandResult runOrvel(const std::vector<std::string>& args);
// Runs the command and expects it to exit with `status` and one line on standard
// error, "orvel: ..." holding `message`.
CommandResult expectFailure(const std::vector<std::string>& args, int status, const std::string& message);

// Arguments joined: {"render", in, out} + options.
inline std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Starts the command with its output and errors going to the files given;
// returns its process id (0 when it cannot start).
int startOrvel(const std::vector<std::string>& args, const std::string& outPath, const std::string& errPath);

struct SoundFile {
    int sampleRate = 0;
    int channels = 0;
    int format = 0;
    std::vector<float> samples; // interleaved
    size_t frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
    float at(size_t frame, int channel) const { return samples[frame * static_cast<size_t>(channels) + static_cast<size_t>(channel)]; }
};

// Writes frames of channels, each sample from signal(frame, channel).
void writeSoundFile(const std::string& path, int sampleRate, int channels, size_t frames, int format,
                    const std::function<float(size_t, int)>& signal);
SoundFile readSoundFile(const std::string& path); // ADD_FAILURE and an empty result when unreadable

// A sine of the given frequency and peak level.
std::function<float(size_t, int)> sine(double frequency, double sampleRate, float peak);

// Peak of samples from frame `from` to the end, over all channels.
float peakFrom(const SoundFile& f, size_t from);

inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
// The names in a folder, sorted.
std::vector<std::string> filesIn(const std::string& folder);

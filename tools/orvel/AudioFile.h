// Reading and writing sound files through libsndfile. Audio is held as two
// channels of float samples in -1..1 full scale.
#pragma once

#include <string>
#include <vector>

struct StereoAudio {
    int sampleRate = 44100;
    int fileChannels = 2; // channels of the file it was read from
    int format = 0;       // libsndfile SF_FORMAT_* of that file (container | sample format)
    std::vector<float> left, right;

    size_t frames() const { return left.size(); }
    void resize(size_t frames) {
        left.resize(frames);
        right.resize(frames);
    }
};

// Any file libsndfile reads; mono feeds both channels. More than two
// channels are refused. Throws CliError.
StereoAudio readAudioFile(const std::string& path);

// The libsndfile format for an output file: the container from the file's
// extension, the sample format of the input when the container can hold it
// (floating point when asFloat). Throws CliError.
int outputFormatFor(const std::string& path, int inputFormat, bool asFloat, int sampleRate);

// Whether a format keeps samples beyond full scale (floating point) or clips them.
bool keepsOverFullScale(int format);

class AtomicFile;
// Writes stereo audio into the temporary of an AtomicFile (not yet committed).
void writeAudioFile(AtomicFile& file, const StereoAudio& audio, int format);

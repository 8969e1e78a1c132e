#include "AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "AtomicFile.h"
#include "CliError.h"

namespace {

struct Container {
    const char* extension;
    int major;
    int fallbackSubtype; // when the input's sample format does not fit
};

constexpr Container kContainers[] = {
    {"wav", SF_FORMAT_WAV, SF_FORMAT_PCM_16},   {"aif", SF_FORMAT_AIFF, SF_FORMAT_PCM_16},
    {"aiff", SF_FORMAT_AIFF, SF_FORMAT_PCM_16}, {"flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24},
    {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},   {"caf", SF_FORMAT_CAF, SF_FORMAT_PCM_16},
};

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty()) ext.erase(0, 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

bool isFloatSubtype(int subtype) { return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE; }

bool formatWorks(int format, int sampleRate) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = format;
    return sf_format_check(&info) != 0;
}

struct SndFile {
    SNDFILE* handle = nullptr;
    ~SndFile() {
        if (handle) sf_close(handle);
    }
};

} // namespace

StereoAudio readAudioFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw CliError("cannot read " + path + ": it is a folder");
    SF_INFO info{};
    SndFile file;
    file.handle = sf_open(path.c_str(), SFM_READ, &info);
    if (!file.handle) throw CliError("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > 2)
        throw CliError(path + " has " + std::to_string(info.channels) +
                       " channels; only mono and stereo files can be rendered");
    if (info.frames < 0 || info.frames > std::numeric_limits<int32_t>::max())
        throw CliError(path + " is too long to render");
    // Integer files are scaled to -1..1; keep float files as they are.
    sf_command(file.handle, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);

    StereoAudio audio;
    audio.sampleRate = info.samplerate;
    audio.fileChannels = info.channels;
    audio.format = info.format;
    audio.left.reserve(static_cast<size_t>(info.frames));
    audio.right.reserve(static_cast<size_t>(info.frames));
    std::vector<float> interleaved(4096 * static_cast<size_t>(info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file.handle, interleaved.data(), 4096);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i) {
            const float l = interleaved[static_cast<size_t>(i * info.channels)];
            const float r = info.channels == 2 ? interleaved[static_cast<size_t>(i * 2 + 1)] : l;
            audio.left.push_back(l);
            audio.right.push_back(r);
        }
    }
    if (sf_error(file.handle) != SF_ERR_NO_ERROR)
        throw CliError("cannot read " + path + ": " + sf_strerror(file.handle));
    return audio;
}

int outputFormatFor(const std::string& path, int inputFormat, bool asFloat, int sampleRate) {
    const std::string ext = lowerExtension(path);
    const Container* container = nullptr;
    for (const Container& c : kContainers)
        if (ext == c.extension) container = &c;
    if (!container)
        throw CliError("cannot tell the format of " + path + " from its name (use .wav, .aiff, .flac, .ogg or .caf)");

    const int inputSubtype = inputFormat & SF_FORMAT_SUBMASK;
    if (asFloat) {
        const int format = container->major | SF_FORMAT_FLOAT;
        if (!formatWorks(format, sampleRate))
            throw CliError("." + ext + " files cannot hold floating-point samples");
        return format;
    }
    int candidates[] = {container->major | inputSubtype,
                        // A float input into a container without float keeps its precision as well as it can.
                        container->major | (isFloatSubtype(inputSubtype) ? SF_FORMAT_PCM_24 : container->fallbackSubtype),
                        container->major | container->fallbackSubtype};
    for (int format : candidates)
        if (formatWorks(format, sampleRate)) return format;
    throw CliError("." + ext + " files cannot be written at " + std::to_string(sampleRate) + " Hz");
}

bool keepsOverFullScale(int format) { return isFloatSubtype(format & SF_FORMAT_SUBMASK); }

void writeAudioFile(AtomicFile& target, const StereoAudio& audio, int format) {
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = 2;
    info.format = format;
    SndFile file;
    file.handle = sf_open_fd(target.descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (!file.handle) throw CliError("cannot write " + target.target() + ": " + sf_strerror(nullptr));
    // Clip instead of wrapping around when an integer format is written.
    sf_command(file.handle, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::vector<float> interleaved;
    constexpr size_t kChunk = 4096;
    for (size_t start = 0; start < audio.frames(); start += kChunk) {
        const size_t n = std::min(kChunk, audio.frames() - start);
        interleaved.resize(2 * n);
        for (size_t i = 0; i < n; ++i) {
            interleaved[2 * i] = audio.left[start + i];
            interleaved[2 * i + 1] = audio.right[start + i];
        }
        if (sf_writef_float(file.handle, interleaved.data(), static_cast<sf_count_t>(n)) !=
            static_cast<sf_count_t>(n))
            throw CliError("cannot write " + target.target() + ": " + sf_strerror(file.handle));
    }
    if (sf_close(file.handle) != 0) {
        file.handle = nullptr;
        throw CliError("cannot write " + target.target());
    }
    file.handle = nullptr;
}

// orvel screenshot OUT.png [--preset FILE.zuo|NAME] [--plugin PATH]: a picture of
// the plug-in's open editor. The editor is opened as a host opens it, without
// a parent window, and the module hands over the pixels it would show.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "AtomicFile.h"
#include "CliError.h"
#include "Commands.h"
#include "FactoryPresets.h"
#include "PluginHost.h"
#include "PluginState.h"
#include "PngImage.h"

namespace {

using SnapshotProc = int32_t (*)(AEffect*, uint32_t*, int32_t, int32_t);

// A quarter of a second of a 220 Hz tone at -10 dB, so the meters show
// what they show in a playing host.
void runAudio(PluginHost& host) {
    const int frames = 512, rate = 44100;
    std::vector<float> inL(frames), inR(frames), outL(frames), outR(frames);
    float* ins[2] = {inL.data(), inR.data()};
    float* outs[2] = {outL.data(), outR.data()};
    host.configure(rate, frames, 120.0);
    host.start();
    for (int block = 0, n = 0; block < rate / 4 / frames; ++block) {
        for (int i = 0; i < frames; ++i, ++n)
            inL[size_t(i)] = inR[size_t(i)] = 0.316f * float(std::sin(2.0 * M_PI * 220.0 * n / rate));
        host.process(ins, outs, frames);
    }
    host.stop();
}

} // namespace

int runScreenshot(Arguments& args) {
    std::string out, preset, plugin = defaultPluginPath();
    while (!args.done()) {
        if (args.isOption()) {
            const std::string option = args.take();
            if (option == "--preset")
                preset = args.valueOf(option);
            else if (option == "--plugin")
                plugin = args.valueOf(option);
            else
                throw usageError("unknown option " + option);
        } else if (out.empty()) {
            out = args.take();
        } else {
            throw usageError("screenshot takes one output file");
        }
    }
    if (out.empty()) throw usageError("screenshot needs an output file");

    AtomicFile file(out);
    PluginHost host(plugin);
    if (!(host.effect().flags & effFlagsHasEditor)) throw CliError(plugin + " has no editor");
    auto snapshot = reinterpret_cast<SnapshotProc>(host.symbol("OrvelEditorSnapshot"));
    if (!snapshot) throw CliError(plugin + " cannot give pictures of its editor");
    if (!preset.empty()) loadPresetFile(host, resolvePreset(preset, factoryPresetRoots()));
    runAudio(host);

    ERect* rect = nullptr;
    if (host.dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) throw CliError("the editor reports no size");
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0) throw CliError("the editor reports an empty size");
    if (host.dispatch(effEditOpen, 0, 0, nullptr) == 0) throw CliError("the editor does not open");
    host.dispatch(effEditIdle);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    const bool taken = snapshot(&host.effect(), pixels.data(), width, height) != 0;
    host.dispatch(effEditClose);
    if (!taken) throw CliError("the editor gave no picture");

    std::vector<uint8_t> png = encodePng(pixels.data(), width, height);
    if (png.empty()) throw CliError("cannot encode the picture");
    file.write(png);
    file.commit();
    std::printf("%s: %dx%d\n", out.c_str(), width, height);
    return 0;
}

#include "Usage.h"

#include <cstring>

const char* const kUsage =
    "usage:\n"
    "  orvel render INPUT OUTPUT [--preset FILE.zuo|NAME | --program N] [--set KEY=VALUE]...\n"
    "               [--tempo BPM] [--block N] [--preroll SECONDS] [--tail SECONDS] [--float]\n"
    "               [--keep-bad-output] [--plugin PATH]\n"
    "  orvel bench [--plugin PATH] [--preset FILE.zuo|NAME] [--set KEY=VALUE]... [--seconds S] [--block N]\n"
    "  orvel info [--preset FILE.zuo|NAME] [--plugin PATH]\n"
    "  orvel programs [--plugin PATH]\n"
    "  orvel preset dump FILE.zuo\n"
    "  orvel preset build TEXT OUT.zuo [--plugin PATH]\n"
    "  orvel demo [OUTDIR] [--presets DIR] [--plugin PATH]\n"
    "  orvel screenshot OUT.png [--preset FILE.zuo|NAME] [--plugin PATH]\n"
    "  orvel --version\n"
    "Every command answers --help (-h).\n";

namespace {

struct Help {
    const char* command;
    const char* text;
};

const Help kHelp[] = {
    {"render",
     "usage: orvel render INPUT OUTPUT [options]\n"
     "Renders a sound file through the plug-in as a host that has been playing does.\n"
     "  --preset FILE.zuo|NAME  a preset file, or a factory preset by name (\"Tape Echo\", \"Creative/Dub Delay\")\n"
     "  --program N             program N of the bank the plug-in starts in\n"
     "  --set KEY=VALUE         a parameter's normalised value 0..1, applied in order (orvel info lists the keys)\n"
     "  --tempo BPM             the host tempo, 1..999 (120)\n"
     "  --block N               frames per processing call, 1..65536 (512)\n"
     "  --preroll SECONDS       silence through the plug-in before the input, rounded up to whole bars,\n"
     "                          so the delay has settled (8; 0 starts cold)\n"
     "  --tail SECONDS          a fixed tail after the input; without it the tail runs until the output\n"
     "                          has stayed below -90 dBFS for a bar (1 to 6 s), at most 60 s\n"
     "  --float                 32-bit float samples (no clipping)\n"
     "  --keep-bad-output       keep the file even when the output has NaN or infinite samples\n"
     "  --plugin PATH           any VST 2.4 plug-in instead of Orvel\n"
     "Levels are peak over the whole file and RMS over the input's span. Samples beyond full scale\n"
     "in an integer file are counted and warned about. NaN or infinite output samples make the\n"
     "render fail (exit status 1) and leave no file unless --keep-bad-output is given.\n"},
    {"bench",
     "usage: orvel bench [options]\n"
     "Times stereo noise through any VST 2.4 plug-in at 44100 Hz: the median of 5 runs in ns per\n"
     "stereo frame and times real time.\n"
     "  --plugin PATH           the plug-in (Orvel)\n"
     "  --preset FILE.zuo|NAME  an Orvel preset file or factory preset\n"
     "  --set KEY=VALUE         a parameter's normalised value 0..1\n"
     "  --seconds S             audio per run, 0.1..600 (10)\n"
     "  --block N               frames per processing call, 1..65536 (512)\n"},
    {"info",
     "usage: orvel info [--preset FILE.zuo|NAME] [--plugin PATH]\n"
     "What the plug-in tells a host: identity, audio and MIDI channels, flags, capabilities, every\n"
     "parameter with its normalised value and display text (for Orvel also the value in its unit as\n"
     "the editor shows it, at 44100 Hz and 120 BPM), and the programs; in the state of a preset\n"
     "when one is given.\n"},
    {"programs",
     "usage: orvel programs [--plugin PATH]\n"
     "Steps through every program of every bank as a host does and prints their names.\n"},
    {"preset",
     "usage: orvel preset dump FILE.zuo\n"
     "       orvel preset build TEXT OUT.zuo [--plugin PATH]\n"
     "dump prints a preset file as text; build makes a preset file from such a text with the plug-in.\n"},
    {"demo",
     "usage: orvel demo [OUTDIR] [--presets DIR] [--plugin PATH]\n"
     "Renders a phrase made in code through the default preset and three factory presets into OUTDIR\n"
     "(orvel-demo) and prints the levels.\n"},
    {"screenshot",
     "usage: orvel screenshot OUT.png [--preset FILE.zuo|NAME] [--plugin PATH]\n"
     "A PNG picture of the plug-in's open editor, in the state of a preset file or factory preset.\n"},
};

} // namespace

const char* helpFor(const std::string& command) {
    for (const Help& h : kHelp)
        if (command == h.command) return h.text;
    return nullptr;
}

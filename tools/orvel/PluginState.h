// Putting a plug-in into a state as a host does: a preset file handed over
// as a chunk, or a program selected by number.
#pragma once

#include <string>

class PluginHost;

// The Orvel plug-in this tool was built with (or the one installed beside it).
std::string defaultPluginPath();

// Reads and checks an Orvel preset file, then gives it to the plug-in with
// effSetChunk. Throws CliError for a file that is not an Orvel preset, a
// preset from a newer product version, or a plug-in that is not Orvel.
void loadPresetFile(PluginHost& host, const std::string& path);

// Orvel's name for a program without a preset.
constexpr const char* kNoProgram = "empty";

// The name effGetProgramNameIndexed gives for program n.
std::string programName(PluginHost& host, long n);

// Selects program n with effSetProgram; throws CliError for a number out of
// range or, with Orvel, a program without a preset. Returns its name.
std::string selectProgram(PluginHost& host, long n);

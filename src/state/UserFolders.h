// Where the plug-in keeps per-user things when the settings do not say.
#pragma once

#include <string>

// The install folder used when the settings hold none, ending in the
// platform's separator ("c:\Programme\<maker>\<product>\" on Windows,
// ${XDG_DATA_HOME:-$HOME/.local/share}/<maker>/<product>/ elsewhere).
std::string defaultInstallPath(const char* productName);

#ifndef _WIN32
// ${XDG_CONFIG_HOME:-$HOME/.config} and ${XDG_DATA_HOME:-$HOME/.local/share};
// empty when neither the variable nor a home folder is known. Relative
// values of the variables are ignored, as the XDG rules ask.
std::string userConfigFolder();
std::string userDataFolder();
#endif

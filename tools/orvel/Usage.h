// The help texts of orvel and its subcommands.
#pragma once

#include <string>

// Every subcommand's synopsis.
extern const char* const kUsage;

// A subcommand's synopsis and options; null for a name that is none.
const char* helpFor(const std::string& command);

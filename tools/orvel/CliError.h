// The one way a subcommand fails: a message for standard error and an exit
// status. Everything is checked before anything is written, so a failure
// never leaves a half-written file behind.
#pragma once

#include <stdexcept>
#include <string>

constexpr int kExitFailure = 1; // bad input, unreadable or unwritable files, a refusing plug-in
constexpr int kExitUsage = 2;   // the command line itself is wrong

class CliError : public std::runtime_error {
public:
    explicit CliError(const std::string& message, int status = kExitFailure)
        : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

inline CliError usageError(const std::string& message) { return CliError(message, kExitUsage); }

// Starting desktop helpers (xdg-open, zenity, kdialog) from inside a host.
// The host may run many threads, so everything a child needs is prepared
// before the fork and the child only calls async-signal-safe functions.
// POSIX only.
#pragma once

#include <string>
#include <vector>

// The full path of an executable found on PATH, or empty.
std::string findProgramOnPath(const std::string& name);

// Starts argv[0] = program with the arguments and does not wait for it. The
// program runs as a grandchild, so it leaves no zombie behind in the host.
// True only when the program was really started (exec succeeded). Works
// whatever the host did with SIGCHLD, and leaves its disposition alone.
bool startDetached(const std::string& program, const std::vector<std::string>& argv);

// Runs the program, collects its standard output (standard error is
// discarded) and waits for it to end, not for the end of its output (which
// something it started may hold). Answers false when it could not be
// started; otherwise exitCode holds its exit status (-1 when killed), also
// in a host that ignores SIGCHLD.
bool runAndCapture(const std::string& program, const std::vector<std::string>& argv, std::string& output,
                   int& exitCode);

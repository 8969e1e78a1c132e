// The subcommands of orvel. Each takes the arguments after its name and
// returns the exit status; failures are thrown as CliError.
#pragma once

class Arguments;

int runRender(Arguments& args);
int runBench(Arguments& args);
int runInfo(Arguments& args);
int runPrograms(Arguments& args);
int runPreset(Arguments& args);
int runDemo(Arguments& args);
int runScreenshot(Arguments& args);

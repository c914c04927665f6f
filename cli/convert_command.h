#pragma once
// tarvo-convert: the dialog's conversion for scripts and builds.

#include <cstdio>

// Runs the command line `argv` with the given streams; returns the exit status: 0 success,
// 1 failure, 2 usage error.
int RunConvertCommand(int argc, const char* const* argv, std::FILE* in, std::FILE* out,
                      std::FILE* err);

#pragma once
// What tarvo-convert says about itself: the usage lines (after a usage error too) and --help.

// The usage lines, each ending in a line feed.
extern const char* const kConvertUsage;
// The rest of --help, after the usage lines.
extern const char* const kConvertHelp;

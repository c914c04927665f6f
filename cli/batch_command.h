#pragma once
// tarvo-convert -d OUTDIR FILE|DIR...: many sources into a mirrored tree of pages, with an index.

#include "cli/source_tree.h"
#include "convert/profile_settings.h"
#include "files/disk.h"

#include <cstdio>
#include <string>
#include <vector>

struct BatchOptions {
    std::string out_dir;
    std::vector<std::string> inputs;
    std::vector<std::string> includes;
    std::vector<std::string> excludes;
    bool font_markup = false;
    bool fragment = false; // the bare converted text instead of a page around it
    bool rtf = false;      // RTF documents (.rtf) instead of pages
    bool quiet = false;    // no progress bar, and no summary when nothing failed
    unsigned jobs = 0;     // files converted at a time; 0: one per processor
};

// Why the pages may not go into OUTDIR: it is one of the inputs or holds one (links followed),
// so that pages and index would land among the sources. "" when it may.
std::string OutDirProblem(const BatchOptions& options);

// Converts every source into OUTDIR/<path below its folder>.html (.rtf with `rtf`), then writes
// OUTDIR/index.html, through the page tree of `disk` (files/disk.h): nothing outside OUTDIR is
// ever written or followed into, and a link in OUTDIR at a folder's, a page's or the index's
// place is that one's failure.
// Failures are named on `err` in the order of the sources and skipped; a summary ends the run,
// counting a failed index among the failures and the files passed over by name as skipped.
// Running out of memory fails the file at hand only. Returns 0, or 1 when anything failed.
int RunBatch(const BatchOptions& options, const ProfileSettings& settings, std::FILE* err,
             Disk& disk = RealDisk());

#pragma once
// tarvo-convert -d OUTDIR FILE|DIR...: many sources into a mirrored tree of pages, with an index.

#include "cli/output_form.h"
#include "cli/source_tree.h"
#include "files/disk.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <cstdio>
#include <string>
#include <vector>

struct BatchOptions {
    std::string out_dir;
    std::vector<std::string> inputs;
    std::vector<std::string> includes;
    std::vector<std::string> excludes;
    bool font_markup = false;
    bool fragment = false;              // the bare converted text instead of a page around it
    OutputForm form = OutputForm::Html; // RTF (.rtf) or LaTeX (.tex) documents instead
    bool quiet = false;                 // no progress bar, and no summary when nothing failed
    unsigned jobs = 0;                  // files converted at a time; 0: one per processor
    // The looks of a theme, or null for those of the settings; with a dark theme beside them,
    // the pages' style sheet carries both.
    const StyleRecord* style = nullptr;
    const StyleRecord* dark_style = nullptr;
};

// Why the pages may not go into OUTDIR: it is one of the inputs or holds one (links followed),
// so that pages and index would land among the sources. "" when it may.
std::string OutDirProblem(const BatchOptions& options);

// Converts every source into OUTDIR/<path below its folder>.html (.rtf, .tex), then writes
// OUTDIR/index.html, through the page tree of `disk` (files/disk.h): nothing outside OUTDIR is
// ever written or followed into, and a link in OUTDIR at a folder's, a page's or the index's
// place is that one's failure.
// Failures are named on `err` in the order of the sources and skipped; a summary ends the run,
// counting a failed index among the failures and the files passed over by name as skipped.
// Running out of memory fails the file at hand only. Returns 0, or 1 when anything failed.
int RunBatch(const BatchOptions& options, const ProfileSettings& settings, std::FILE* err,
             Disk& disk = RealDisk());

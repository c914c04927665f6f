#pragma once
// The plan of a batch run, made before anything is written and without touching the disk: which
// page each source gets in OUTDIR, which sources get none because of a clash, and which folders
// to make for the pages.

#include "cli/source_tree.h"

#include <string>
#include <string_view>
#include <vector>

struct PagePlan {
    std::string page;    // OUTDIR/<path below its folder>.html (or .rtf); empty when there is none
    std::string name;    // the page's name in its folder
    std::string problem; // why there is no page: the source's own problem, or a clash
    int folder = -1;     // the folder the page goes into, in BatchPlan::folders; -1: OUTDIR
};

struct FolderPlan {
    std::string path; // OUTDIR/<folder>
    std::string name; // its name in its parent
    int parent = -1;  // the folder it lies in, in BatchPlan::folders; -1: OUTDIR
};

struct BatchPlan {
    std::vector<PagePlan> pages;     // one for each source, in the same order
    std::vector<FolderPlan> folders; // each after its parent
};

// Plans the pages of `sources` in OUTDIR `out_dir` in their order, so that the result does not
// depend on which job runs first. A page that would take the place of an earlier source's page,
// of a folder for pages or of the index (index.html) is a clash: the later source fails with
// it. So is a folder that would take the place of a page or of the index.
// Each page is the source's path and `extension`.
BatchPlan PlanBatch(const std::string& out_dir, const std::vector<SourceEntry>& sources,
                    std::string_view extension = ".html");

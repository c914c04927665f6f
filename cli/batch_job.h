#pragma once
// One source of a batch run: its job, and its conversion into a page by the reading rule of
// every way in.

#include "cli/batch_command.h"
#include "cli/source_tree.h"
#include "files/disk.h"
#include "render/converter.h"

#include <cstdint>
#include <string>
#include <string_view>

// The dialog's notices, counted per file instead of shown: bit i for kBatchNotices[i].
inline constexpr const char* kBatchNotices[] = {kNoticeKeepTabs, kNoticeMaxTabSize, kNoticeOver64k};

struct Job {
    const SourceEntry* source = nullptr;
    std::string page;             // where its page goes, for the report
    int folder = PageTree::kRoot; // the page's folder in the tree
    std::string name;             // and its name there
    std::string failed;           // the path that failed: the source's, or the page's
    std::string problem;          // why; empty while all is well
    bool no_memory = false;       // failed for want of memory: no string could hold the reason
    uint64_t size = 0;            // bytes read
    unsigned notices = 0;
    bool done = false;

    bool Failed() const { return no_memory || !problem.empty(); }
    // What went wrong, for the report.
    const char* Problem() const { return no_memory ? "Not enough memory" : problem.c_str(); }
};

// A failed write's reason for the report: "not a regular file" for ENODEV, "a symbolic link, not
// followed" for ELOOP.
std::string WriteFailureText(int error);

class PageConverter {
public:
    // `names`: what the whole tree declares, for the name classes (null: each file alone).
    PageConverter(const BatchOptions& options, std::string_view style_sheet,
                  const names::TreeNames* names = nullptr)
        : m_css(options.font_markup ? 0 : 1), m_fragment(options.fragment), m_form(options.form),
          m_style_sheet(style_sheet), m_style(options.style), m_names(names) {}

    // The text that Go leaves in the box for the job's file, as a page, bare or as RTF, written
    // whole into `pages`; failures go into the job. Running out of memory fails this file only.
    void Convert(ProfileSettings& settings, PageGroup& pages, Job& job) const noexcept;

private:
    void ConvertCaught(ProfileSettings& settings, PageGroup& pages, Job& job) const;

    int m_css;
    bool m_fragment;
    OutputForm m_form;
    std::string_view m_style_sheet;
    const StyleRecord* m_style; // null: the settings' looks
    const names::TreeNames* m_names;
};

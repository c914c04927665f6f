#include "cli/batch_job.h"

#include "cli/index_page.h"
#include "files/read_file.h"
#include "render/html_page.h"
#include "text/box_text.h"
#include "text/line_ends.h"
#include "text/source_text.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

class NoticeCounter : public ConvertObserver {
public:
    explicit NoticeCounter(const names::TreeNames* names) : m_names(names) {}
    const names::TreeNames* Names() const override { return m_names; }
    bool MayUseThreads() const override { return false; } // the workers use every core
    void Notice(NoticeStyle, const char* text) override {
        for (unsigned i = 0; i < std::size(kBatchNotices); ++i) {
            if (std::strcmp(text, kBatchNotices[i]) == 0) {
                seen |= 1u << i;
            }
        }
    }
    unsigned seen = 0;

private:
    const names::TreeNames* m_names;
};

} // namespace

std::string WriteFailureText(int error) {
    return error == ENODEV  ? "not a regular file"
           : error == ELOOP ? "a symbolic link, not followed"
                            : std::strerror(error);
}

void PageConverter::Convert(ProfileSettings& settings, PageGroup& pages, Job& job) const noexcept {
    try {
        ConvertCaught(settings, pages, job);
    } catch (const std::bad_alloc&) {
        job.no_memory = true;
    } catch (const std::length_error&) {
        job.no_memory = true;
    }
}

void PageConverter::ConvertCaught(ProfileSettings& settings, PageGroup& pages, Job& job) const {
    job.failed = job.source->path;
    // The reading rule of every way in: regular files only, NUL bytes refused.
    std::string text;
    const ReadStatus read =
        ReadRegularFile(job.source->path.c_str(), ReadRules{std::size_t(-1), true}, text);
    if (read != ReadStatus::Ok) {
        job.no_memory = read == ReadStatus::NoMemory;
        job.problem = ReadFailureText(read, errno);
        return;
    }
    job.size = text.size();
    if (!ToSourceText(text)) {
        job.no_memory = true;
        return;
    }
    std::string box = SourceTextInTextBox(text);
    std::string().swap(text);
    std::string html;
    NoticeCounter notices(m_names);
    if (!ConvertInForm(m_form, settings, m_style, box, m_css, !m_fragment, html, &notices)) {
        job.no_memory = true;
        return;
    }
    std::string().swap(box);
    job.notices = notices.seen;
    if (m_form == OutputForm::Html) {
        ToLf(html);
        if (!m_fragment) {
            html = BuildHtmlPage(NameAsText(job.source->relative), html, m_style_sheet);
        }
    }
    if (!pages.Write(job.folder, job.name.c_str(), html)) {
        job.failed = job.page;
        job.problem = WriteFailureText(errno);
    }
}

#include "cli/batch_command.h"

#include "base/memory.h"
#include "cli/index_page.h"
#include "cli/progress_bar.h"
#include "cli/source_file.h"
#include "convert/box_text.h"
#include "convert/converter.h"
#include "convert/html_page.h"
#include "convert/line_ends.h"
#include "convert/line_numbers.h"
#include "convert/rtf_text.h"
#include "convert/style_sheet.h"
#include "files/safe_file.h"

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

namespace {

constexpr const char* kName = "tarvo-convert";

// The dialog's notices, counted per file instead of shown.
constexpr const char* kNotices[] = {kNoticeKeepTabs, kNoticeMaxTabSize, kNoticeOver64k};

class NoticeCounter : public ConvertObserver {
public:
    void Notice(NoticeStyle, const char* text) override {
        for (unsigned i = 0; i < std::size(kNotices); ++i) {
            if (std::strcmp(text, kNotices[i]) == 0) {
                seen |= 1u << i;
            }
        }
    }
    unsigned seen = 0;
};

struct Job {
    const SourceEntry* source = nullptr;
    std::string page;    // where its page goes
    std::string failed;  // the path that failed: the source's, or the page's
    std::string problem; // why; empty while all is well
    uint64_t size = 0;   // bytes read
    unsigned notices = 0;
    bool done = false;
};

// What every worker shares; the jobs' results are read only after their `done` is set.
struct Run {
    std::vector<Job> jobs;
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t files_done = 0;
    uint64_t bytes_done = 0;
};

std::string Reason(int error) {
    return error == ENODEV ? "not a regular file" : std::strerror(error);
}

unsigned Processors() {
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return unsigned(CPU_COUNT(&set));
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

// A worker's own settings: the converter sorts the keyword list in place.
bool CopySettings(const ProfileSettings& from, ProfileSettings& to) {
    to.n_tab_size = from.n_tab_size;
    to.n_keyword_color = from.n_keyword_color;
    to.n_comment_color = from.n_comment_color;
    to.n_table_lt_color = from.n_table_lt_color;
    to.n_table_dk_color = from.n_table_dk_color;
    to.n_font_size = from.n_font_size;
    to.n_table_width = from.n_table_width;
    to.b_table_width_percent = from.b_table_width_percent;
    to.b_use_table = from.b_use_table;
    if (!CopyLineSettings(from, to)) {
        return false;
    }
    to.ClearKeywords();
    for (int32_t i = 0; i < from.KeywordCount(); ++i) {
        char* keyword = tarvo::DuplicateString(from.Keyword(i), std::strlen(from.Keyword(i)));
        if (keyword == nullptr || !to.p_s_keyword.Add(keyword)) {
            std::free(keyword);
            return false;
        }
    }
    return true;
}

class Converter {
public:
    Converter(const BatchOptions& options, std::string_view style_sheet)
        : m_css(options.font_markup ? 0 : 1), m_fragment(options.fragment), m_rtf(options.rtf),
          m_style_sheet(style_sheet) {}

    // The text that Go leaves in the box for the file, as a page or bare, written whole into
    // `pages`.
    void Convert(ProfileSettings& settings, FileWriteGroup& pages, Job& job) const {
        job.failed = job.source->path;
        std::string bytes;
        if (const int error = ReadRegularFile(job.source->path.c_str(), bytes); error != 0) {
            job.problem = Reason(error);
            return;
        }
        job.size = bytes.size();
        if (std::memchr(bytes.data(), '\0', bytes.size()) != nullptr) {
            job.problem = "not text (holds NUL bytes)";
            return;
        }
        std::string text = OpenedInTextBox(bytes);
        std::string().swap(bytes);
        std::string html;
        NoticeCounter notices;
        if (!ConvertSource(settings, text, m_css, html, &notices)) {
            job.problem = "Not enough memory";
            return;
        }
        std::string().swap(text);
        job.notices = notices.seen;
        if (m_rtf) {
            std::string rtf;
            if (!BuildRtf(html, settings, m_css, rtf)) {
                job.problem = "Not enough memory";
                return;
            }
            html.swap(rtf);
        } else {
            ToLf(html);
            if (!m_fragment) {
                html = BuildHtmlPage(NameAsText(job.source->relative), html, m_style_sheet);
            }
        }
        if (!pages.Write(job.page.c_str(), html)) {
            job.failed = job.page;
            job.problem = std::strerror(errno);
        }
    }

private:
    int m_css;
    bool m_fragment;
    bool m_rtf;
    std::string_view m_style_sheet;
};

// Marks `jobs` done, and wakes the reporter when they are the last.
void Finish(Run& run, const std::vector<Job*>& jobs) {
    bool last = false;
    {
        const std::lock_guard<std::mutex> lock(run.mutex);
        for (Job* job : jobs) {
            job->done = true;
            run.bytes_done += job->source->size;
        }
        run.files_done += jobs.size();
        last = run.files_done == run.jobs.size();
    }
    // Only the end wakes the reporter at once; a wake-up per file would take a processor from
    // the workers every time.
    if (last) {
        run.finished.notify_one();
    }
}

// Puts the pages of `waiting` in place, and they are done.
void CommitPages(Run& run, FileWriteGroup& pages, std::vector<Job*>& waiting) {
    for (const FileWriteGroup::Failure& failure : pages.Commit()) {
        for (Job* job : waiting) {
            if (job->page == failure.path) {
                job->failed = job->page;
                job->problem = std::strerror(failure.error);
            }
        }
    }
    Finish(run, waiting);
    waiting.clear();
}

void Work(Run& run, const Converter& converter, const ProfileSettings& shared) {
    ProfileSettings settings;
    const bool ready = CopySettings(shared, settings);
    // A flush to the disk per page would cost more than converting it: pages wait in groups.
    FileWriteGroup pages;
    std::vector<Job*> waiting;
    for (std::size_t i; (i = run.next++) < run.jobs.size();) {
        Job& job = run.jobs[i];
        const std::size_t before = pages.Waiting();
        if (!ready && job.problem.empty()) {
            job.failed = job.source->path;
            job.problem = "Not enough memory";
        } else if (job.problem.empty()) {
            converter.Convert(settings, pages, job);
        }
        if (pages.Waiting() > before) {
            waiting.push_back(&job);
        } else {
            Finish(run, {&job});
        }
        if (pages.Waiting() >= FileWriteGroup::kMaxWaiting) {
            CommitPages(run, pages, waiting);
        }
    }
    CommitPages(run, pages, waiting);
}

// Gives every job its page's path and makes the folders for them, in order, so that the result
// does not depend on which job runs first. A page that would take the place of another page, of
// a folder for pages, or of the index is a failure of the later source.
void PlanPages(const std::string& out_dir, std::string_view extension, std::vector<Job>& jobs) {
    std::map<std::string, const std::string*> pages{{"index.html", nullptr}};
    std::map<std::string, std::string> folders; // made, or why not
    for (Job& job : jobs) {
        if (!job.source->problem.empty()) {
            job.failed = job.source->path;
            job.problem = job.source->problem;
            continue;
        }
        const std::string relative = job.source->relative + std::string(extension);
        job.page = out_dir + "/" + relative;
        std::string clash;
        if (const auto page = pages.find(relative); page != pages.end()) {
            clash = page->second ? "its page would replace that of " + *page->second
                                 : std::string("its page would replace the index");
        } else if (folders.count(relative) != 0) {
            clash = "its page would replace the folder " + job.page;
        }
        for (std::size_t slash = relative.find('/'); clash.empty() && slash != std::string::npos;
             slash = relative.find('/', slash + 1)) {
            const std::string folder = relative.substr(0, slash);
            if (const auto page = pages.find(folder); page != pages.end()) {
                clash = page->second ? "its folder would replace the page of " + *page->second
                                     : std::string("its folder would replace the index");
                break;
            }
            auto [made, fresh] = folders.try_emplace(folder);
            if (fresh) {
                const std::string path = out_dir + "/" + folder;
                struct stat st;
                if (::mkdir(path.c_str(), 0777) != 0 &&
                    !(errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
                    made->second = path + ": " + std::strerror(errno == EEXIST ? ENOTDIR : errno);
                }
            }
            clash = made->second;
        }
        if (!clash.empty()) {
            job.failed = job.source->path;
            job.problem = clash;
            continue;
        }
        pages.emplace(relative, &job.source->path);
    }
}

// "N converted, M failed", and how many files gave each notice.
std::string Summary(const std::vector<Job>& jobs, std::size_t& failed, bool& noticed) {
    std::size_t converted = 0;
    std::size_t with[std::size(kNotices)] = {};
    for (const Job& job : jobs) {
        job.problem.empty() ? ++converted : ++failed;
        for (std::size_t i = 0; i < std::size(kNotices); ++i) {
            with[i] += (job.notices >> i) & 1u;
        }
    }
    std::string text =
        std::to_string(converted) + " converted, " + std::to_string(failed) + " failed";
    for (std::size_t i = 0; i < std::size(kNotices); ++i) {
        if (with[i] != 0) {
            noticed = true;
            text += "; \"" + std::string(kNotices[i]) + "\" for " + std::to_string(with[i]) +
                    (with[i] == 1 ? " file" : " files");
        }
    }
    return text;
}

} // namespace

int RunBatch(const BatchOptions& options, const ProfileSettings& settings, std::FILE* err) {
    std::string out_dir = options.out_dir;
    while (out_dir.size() > 1 && out_dir.back() == '/') {
        out_dir.pop_back();
    }
    std::error_code ec;
    std::filesystem::create_directories(out_dir, ec);
    struct stat out_st;
    if (!ec && ::stat(out_dir.c_str(), &out_st) != 0) {
        ec.assign(errno, std::generic_category());
    } else if (!ec && !S_ISDIR(out_st.st_mode)) {
        ec.assign(ENOTDIR, std::generic_category());
    }
    if (ec) {
        std::fprintf(err, "%s: %s: %s\n", kName, out_dir.c_str(), ec.message().c_str());
        return 1;
    }
    SourceSelection selection{options.includes, options.excludes, out_st.st_dev, out_st.st_ino};
    std::vector<SourceEntry> sources;
    ListSources(options.inputs, selection, sources);

    Run run;
    run.jobs.resize(sources.size());
    uint64_t total_bytes = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        run.jobs[i].source = &sources[i];
        total_bytes += sources[i].size;
    }
    const std::string_view extension = options.rtf ? ".rtf" : ".html";
    PlanPages(out_dir, extension, run.jobs);

    std::string style_sheet;
    if (!options.font_markup && !options.fragment && !options.rtf) {
        style_sheet = BuildStyleSheet(settings);
        ToLf(style_sheet);
    }
    const Converter converter(options, style_sheet);
    const unsigned wanted = options.jobs != 0 ? options.jobs : Processors();
    const std::size_t count =
        std::max<std::size_t>(1, std::min<std::size_t>(wanted, sources.size()));
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < count; ++i) {
        try {
            workers.emplace_back(Work, std::ref(run), std::cref(converter), std::cref(settings));
        } catch (const std::system_error&) {
            break; // fewer threads do the same work
        }
    }
    if (workers.empty()) {
        Work(run, converter, settings);
    }

    // Failures are told in the order of the sources, whichever job finished first, ten times a
    // second and at the end.
    ProgressBar bar(err, !options.quiet && ::isatty(::fileno(err)), sources.size(), total_bytes);
    std::size_t told = 0;
    while (told < run.jobs.size()) {
        std::unique_lock<std::mutex> lock(run.mutex);
        run.finished.wait_for(lock, std::chrono::milliseconds(100),
                              [&] { return run.files_done == run.jobs.size(); });
        const std::size_t files_done = run.files_done;
        const uint64_t bytes_done = run.bytes_done;
        std::size_t ready = told;
        while (ready < run.jobs.size() && run.jobs[ready].done) {
            ++ready;
        }
        lock.unlock();
        // A finished job is no worker's any more.
        for (; told < ready; ++told) {
            const Job& job = run.jobs[told];
            if (!job.problem.empty()) {
                bar.Clear();
                std::fprintf(err, "%s: %s: %s\n", kName, job.failed.c_str(), job.problem.c_str());
            }
        }
        bar.Show(files_done, bytes_done);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    bar.Clear();

    std::vector<IndexEntry> index;
    for (const Job& job : run.jobs) {
        if (job.problem.empty()) {
            index.push_back({job.source->relative, job.size});
        }
    }
    bool index_written = true;
    const std::string index_path = out_dir + "/index.html";
    if (!WriteFileWhole(index_path.c_str(), BuildIndexPage(std::move(index), extension))) {
        std::fprintf(err, "%s: %s: %s\n", kName, index_path.c_str(), std::strerror(errno));
        index_written = false;
    }
    std::size_t failed = 0;
    bool noticed = false;
    const std::string summary = Summary(run.jobs, failed, noticed);
    if (!options.quiet || failed != 0 || !index_written || noticed) {
        std::fprintf(err, "%s: %s\n", kName, summary.c_str());
    }
    return failed == 0 && index_written ? 0 : 1;
}

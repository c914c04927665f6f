#include "cli/batch_command.h"

#include "base/cores.h"

#include "cli/batch_job.h"
#include "cli/batch_plan.h"
#include "cli/index_page.h"
#include "cli/progress_bar.h"
#include "files/read_file.h"
#include "names/name_marker.h"
#include "render/converter.h"
#include "render/style_sheet.h"
#include "settings/setting_table.h"
#include "text/line_ends.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace {

constexpr const char* kName = "tarvo-convert";

// What every worker shares; the jobs' results are read only after their `done` is set.
struct Run {
    std::vector<Job> jobs;
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t files_done = 0;
    uint64_t bytes_done = 0;
};

unsigned Processors() {
    return tarvo::UsableCores();
}

// Marks `jobs` done, and wakes the reporter when they are the last.
void Finish(Run& run, Job* const* jobs, std::size_t count) {
    bool last = false;
    {
        const std::lock_guard<std::mutex> lock(run.mutex);
        for (std::size_t i = 0; i < count; ++i) {
            jobs[i]->done = true;
            run.bytes_done += jobs[i]->source->size;
        }
        run.files_done += count;
        last = run.files_done == run.jobs.size();
    }
    // Only the end wakes the reporter at once; a wake-up per file would take a processor from
    // the workers every time.
    if (last) {
        run.finished.notify_one();
    }
}

// Puts the pages of `waiting` in place, and they are done.
void CommitPages(Run& run, PageGroup& pages, std::vector<Job*>& waiting) {
    try {
        for (const PageGroup::Failure& failure : pages.Commit()) {
            Job* job = waiting.at(failure.index);
            job->failed = job->page;
            job->problem = WriteFailureText(failure.error);
        }
    } catch (const std::bad_alloc&) {
        // The group is cleared either way: what was not put in place is removed.
        for (Job* job : waiting) {
            job->no_memory = true;
        }
    }
    Finish(run, waiting.data(), waiting.size());
    waiting.clear();
}

void Work(Run& run, const PageConverter& converter, const ProfileSettings& shared, PageTree& tree) {
    // A worker's own settings: the converter sorts the keyword list in place.
    ProfileSettings settings;
    bool ready = CopySettings(shared, settings);
    // A flush to the disk per page would cost more than converting it: pages wait in groups. A
    // page's place that holds anything but a regular file fails it, unopened.
    std::unique_ptr<PageGroup> group;
    std::vector<Job*> waiting;
    try {
        group = tree.NewGroup();
        waiting.reserve(PageGroup::kMaxWaiting);
    } catch (const std::bad_alloc&) {
        ready = false;
    }
    if (!group) {
        // Without a group of its own, this worker fails every job it takes for want of memory.
        for (std::size_t i; (i = run.next++) < run.jobs.size();) {
            Job& job = run.jobs[i];
            if (!job.Failed()) {
                job.failed = job.source->path;
                job.no_memory = true;
            }
            Job* one = &job;
            Finish(run, &one, 1);
        }
        return;
    }
    PageGroup& pages = *group;
    for (std::size_t i; (i = run.next++) < run.jobs.size();) {
        Job& job = run.jobs[i];
        const std::size_t before = pages.Waiting();
        if (!ready && !job.Failed()) {
            job.failed = job.source->path;
            job.no_memory = true;
        } else if (!job.Failed()) {
            converter.Convert(settings, pages, job);
        }
        if (pages.Waiting() > before) {
            waiting.push_back(&job);
        } else {
            Job* one = &job;
            Finish(run, &one, 1);
        }
        if (pages.Waiting() >= PageGroup::kMaxWaiting) {
            CommitPages(run, pages, waiting);
        }
    }
    CommitPages(run, pages, waiting);
}

// Makes the planned folders in the tree, in order, and fails the jobs whose folder could not be
// made: a link in a folder's place among them, never followed.
void MakeFolders(const BatchPlan& plan, PageTree& tree, std::vector<Job>& jobs) {
    std::vector<std::string> failed(plan.folders.size()); // why a folder is not there
    std::vector<int> handles(plan.folders.size(), -1);
    for (std::size_t i = 0; i < plan.folders.size(); ++i) {
        const FolderPlan& folder = plan.folders[i];
        if (folder.parent >= 0 && !failed[std::size_t(folder.parent)].empty()) {
            failed[i] = failed[std::size_t(folder.parent)];
            continue;
        }
        const int parent =
            folder.parent >= 0 ? handles[std::size_t(folder.parent)] : PageTree::kRoot;
        handles[i] = tree.MakeFolder(parent, folder.name.c_str());
        if (handles[i] < 0) {
            failed[i] = folder.path + ": " + WriteFailureText(errno);
        }
    }
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const PagePlan& page = plan.pages[i];
        Job& job = jobs[i];
        job.page = page.page;
        job.name = page.name;
        if (page.problem.empty() && page.folder >= 0) {
            job.problem = failed[std::size_t(page.folder)];
            job.folder = handles[std::size_t(page.folder)];
        } else {
            job.problem = page.problem;
        }
        if (!job.problem.empty()) {
            job.failed = job.source->path;
        }
    }
}

// "N converted, M failed", what was skipped, and how many files gave each notice.
std::string Summary(const std::vector<Job>& jobs, bool index_failed, std::size_t skipped,
                    bool by_include, std::size_t& failed, bool& noticed) {
    std::size_t converted = 0;
    std::size_t with[std::size(kBatchNotices)] = {};
    for (const Job& job : jobs) {
        job.Failed() ? ++failed : ++converted;
        for (std::size_t i = 0; i < std::size(kBatchNotices); ++i) {
            with[i] += (job.notices >> i) & 1u;
        }
    }
    failed += index_failed ? 1 : 0;
    std::string text =
        std::to_string(converted) + " converted, " + std::to_string(failed) + " failed";
    if (skipped != 0) {
        text += ", " + std::to_string(skipped) +
                (by_include ? " skipped (not matched by --include)"
                            : " skipped (not C or C++ by name)");
    }
    for (std::size_t i = 0; i < std::size(kBatchNotices); ++i) {
        if (with[i] != 0) {
            noticed = true;
            text += "; \"" + std::string(kBatchNotices[i]) + "\" for " + std::to_string(with[i]) +
                    (with[i] == 1 ? " file" : " files");
        }
    }
    return text;
}

// The index, written whole; false after a failure it named.
bool WriteIndex(PageTree& tree, const std::string& out_dir, std::string_view extension,
                const std::vector<Job>& jobs, std::FILE* err) {
    const std::string index_path = out_dir + "/index.html";
    int error = 0;
    try {
        std::vector<IndexEntry> index;
        for (const Job& job : jobs) {
            if (!job.Failed()) {
                index.push_back({job.source->relative, job.size});
            }
        }
        // A link, a FIFO or a device in its place fails the index, never followed or waited on.
        const std::unique_ptr<PageGroup> group = tree.NewGroup();
        if (!group->Write(PageTree::kRoot, "index.html",
                          BuildIndexPage(std::move(index), extension))) {
            error = errno;
        } else if (const std::vector<PageGroup::Failure> failed = group->Commit();
                   !failed.empty()) {
            error = failed[0].error;
        }
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    if (error != 0) {
        std::fprintf(err, "%s: %s: %s\n", kName, index_path.c_str(),
                     error == ENOMEM ? "Not enough memory" : WriteFailureText(error).c_str());
    }
    return error == 0;
}

// The folder `path` names with its trailing slashes gone.
std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

} // namespace

std::string OutDirProblem(const BatchOptions& options) {
    // Links followed: the pages would land among the sources whichever way they are named.
    char* out = ::realpath(options.out_dir.c_str(), nullptr);
    if (out == nullptr) {
        return ""; // a folder yet to be made holds nothing
    }
    const std::string out_path = out;
    std::free(out);
    for (const std::string& input : options.inputs) {
        char* resolved = ::realpath(input.c_str(), nullptr);
        if (resolved == nullptr) {
            continue;
        }
        const std::string path = resolved;
        std::free(resolved);
        if (path == out_path) {
            return "the output folder is the input '" + input + "'";
        }
        if (path.rfind(out_path == "/" ? out_path : out_path + "/", 0) == 0) {
            return "the output folder holds the input '" + input + "'";
        }
    }
    return "";
}

namespace {

// With a name class on, what the whole tree declares, read before any file is converted, so that a
// name declared in one header takes its class in every file that uses it; null otherwise (or
// without the memory for it: each file then stands alone). A file that cannot be read adds
// nothing here and fails in its own conversion.
std::unique_ptr<const names::TreeNames> TreeNamesOf(const ProfileSettings& settings,
                                                    const std::vector<SourceEntry>& sources) {
    if (!OptionalClassesOn(settings).AnyName()) {
        return nullptr;
    }
    std::unique_ptr<names::TreeNames> names(new (std::nothrow) names::TreeNames);
    if (!names) {
        return nullptr;
    }
    std::string text;
    for (const SourceEntry& source : sources) {
        if (source.problem.empty() &&
            ReadRegularFile(source.path.c_str(), ReadRules{std::size_t(-1), true}, text) ==
                ReadStatus::Ok) {
            names->AddSource(text);
        }
    }
    return names;
}

} // namespace

int RunBatch(const BatchOptions& options, const ProfileSettings& settings, std::FILE* err,
             Disk& disk) {
    const std::string out_dir = WithoutTrailingSlashes(options.out_dir);
    const std::unique_ptr<PageTree> tree = disk.OpenPageTree(out_dir.c_str());
    if (!tree) {
        std::fprintf(err, "%s: %s: %s\n", kName, out_dir.c_str(), std::strerror(errno));
        return 1;
    }
    const FileStamp root = tree->RootStamp();
    SourceSelection selection{options.includes, options.excludes, dev_t(root.device),
                              ino_t(root.inode)};
    std::vector<SourceEntry> sources;
    const std::size_t skipped = ListSources(options.inputs, selection, sources);

    Run run;
    run.jobs.resize(sources.size());
    uint64_t total_bytes = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        run.jobs[i].source = &sources[i];
        total_bytes += sources[i].size;
    }
    const std::string_view extension = PageExtension(options.form);
    MakeFolders(PlanBatch(out_dir, sources, extension), *tree, run.jobs);

    std::string style_sheet;
    if (!options.font_markup && !options.fragment && options.form == OutputForm::Html) {
        style_sheet =
            options.dark_style != nullptr
                ? BuildStyleSheet(options.style != nullptr ? *options.style : *options.dark_style,
                                  *options.dark_style)
            : options.style != nullptr ? BuildStyleSheet(*options.style)
                                       : BuildStyleSheet(settings);
        ToLf(style_sheet);
    }
    const std::unique_ptr<const names::TreeNames> names = TreeNamesOf(settings, sources);
    const PageConverter converter(options, style_sheet, names.get());
    const unsigned wanted = options.jobs != 0 ? options.jobs : Processors();
    const std::size_t count =
        std::max<std::size_t>(1, std::min<std::size_t>(wanted, sources.size()));
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < count; ++i) {
        try {
            workers.emplace_back(Work, std::ref(run), std::cref(converter), std::cref(settings),
                                 std::ref(*tree));
        } catch (const std::system_error&) {
            break; // fewer threads do the same work
        }
    }
    if (workers.empty()) {
        Work(run, converter, settings, *tree);
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
            if (job.Failed()) {
                bar.Clear();
                std::fprintf(err, "%s: %s: %s\n", kName, job.failed.c_str(), job.Problem());
            }
        }
        bar.Show(files_done, bytes_done);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    bar.Clear();

    const bool index_written = WriteIndex(*tree, out_dir, extension, run.jobs, err);
    std::size_t failed = 0;
    bool noticed = false;
    const std::string summary =
        Summary(run.jobs, !index_written, skipped, !options.includes.empty(), failed, noticed);
    if (!options.quiet || failed != 0 || noticed) {
        std::fprintf(err, "%s: %s\n", kName, summary.c_str());
    }
    return failed == 0 ? 0 : 1;
}

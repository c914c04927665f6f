#include "cli/convert_command.h"

#include "base/memory.h"
#include "cli/batch_command.h"
#include "cli/help_text.h"
#include "cli/output_form.h"
#include "cli/profile_lookup.h"
#include "cli/setting_options.h"
#include "cli/theme_list.h"
#include "files/read_file.h"
#include "files/safe_file.h"
#include "profiles/folder_options.h"
#include "profiles/profile_folder.h"
#include "profiles/theme_files.h"
#include "render/buffered_text.h"
#include "render/converter.h"
#include "render/latex_text.h"
#include "render/rich_text.h"
#include "render/style_sheet.h"
#include "settings/cpp_defaults.h"
#include "settings/dialog_round_trip.h"
#include "style/theme_style.h"
#include "text/box_text.h"
#include "text/line_ends.h"
#include "text/source_text.h"
#include "themes/builtin_themes.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr const char* kName = "tarvo-convert";
constexpr const char* kVersion = TARVO_VERSION;

struct Options {
    const char* profile = nullptr;
    const char* profile_file = nullptr;
    ProfileFolderOptions folder;
    const char* output = nullptr;
    std::vector<const char*> inputs;
    bool font_markup = false;
    bool style_sheet = false;
    OutputForm form = OutputForm::Html;
    const char* out_dir = nullptr;
    BatchOptions batch;
    bool batch_only = false; // an option that only -d takes was given
    bool all_classes = false;
    SettingOptions settings;          // the line numbers' and the optional classes' options
    const char* theme = nullptr;      // --theme NAME
    const char* theme_file = nullptr; // --theme-file PATH
    const char* dark_theme = nullptr; // --dark-theme NAME
    bool inline_styles = false;       // each span's style in its own attribute
    bool list_themes = false;         // --list-themes
};

// A big source, its HTML and the converter's own copy of it are served from one heap that grows
// with room to spare, so that tens of megabytes do not come as a page fault per 4 KiB.
void PrepareForSource(std::size_t expected) {
    constexpr std::size_t kBig = std::size_t(4) << 20;
    if (expected >= kBig && expected <= (std::size_t(64) << 20)) {
        ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
        ::mallopt(M_TOP_PAD, int(expected * 4));
    }
}

class Command {
public:
    Command(std::FILE* in, std::FILE* out, std::FILE* err) : m_in(in), m_out(out), m_err(err) {}

    int Run(int argc, const char* const* argv);

private:
    int RunCaught(int argc, const char* const* argv);
    int Usage(const char* problem, const char* what = nullptr) {
        std::fprintf(m_err, "%s: %s%s%s%s\n%s", kName, problem, what ? " '" : "", what ? what : "",
                     what ? "'" : "", kConvertUsage);
        return 2;
    }
    int Fail(const std::string& message) {
        std::fprintf(m_err, "%s: %s\n", kName, message.c_str());
        return 1;
    }
    int Parse(int argc, const char* const* argv, Options& options, bool& done);
    int LoadSettings(const Options& options, ProfileSettings& settings);
    int LoadTheme(const Options& options, const char* name, const char* path, Theme& theme);
    bool ProfileTheme(const Options& options, const char* name, Theme& theme);
    int BuildLooks(const Options& options, const ProfileSettings& settings, StyleRecord& style,
                   StyleRecord& dark, bool& themed, bool& dual);
    int ReadInput(const char* path, std::string& text);
    int WriteOutput(const char* path, std::string_view text);
    int StreamOutput(const Options& options, ProfileSettings& settings, const StyleRecord* looks,
                     std::string& source, StreamedFile& file, ConvertObserver& notices);

    std::FILE* m_in;
    std::FILE* m_out;
    std::FILE* m_err;
};

// Notices go to standard error; the conversion goes on. Only the HTML gives the 64k note: the
// other renditions are no HTML.
class NoticePrinter : public ConvertObserver {
public:
    explicit NoticePrinter(std::FILE* err) : m_err(err) {}
    void Notice(NoticeStyle, const char* text) override {
        std::fprintf(m_err, "%s: %s\n", kName, text);
    }

private:
    std::FILE* m_err;
};

// The HTML into a file as it is made, a block at a time with its line ends made LF: a large
// output is then never held whole, nor its pages cleared and copied twice.
class FileBlocks : public TextBlocks {
public:
    explicit FileBlocks(StreamedFile& file) : m_file(file) {}
    bool Take(std::string& block, bool last) override {
        // A CR at a block's end may begin a CR LF: it waits for the next block.
        const std::size_t keep = !last && !block.empty() && block.back() == '\r' ? 1 : 0;
        const std::size_t length = ToLfInPlace(block.data(), block.size() - keep);
        if (!m_file.Write(std::string_view(block.data(), length))) {
            m_error = errno;
            return false;
        }
        block.erase(0, block.size() - keep);
        return true;
    }
    int Error() const { return m_error; }

private:
    StreamedFile& m_file;
    int m_error = 0;
};

int Command::Parse(int argc, const char* const* argv, Options& o, bool& done) {
    done = false;
    bool only_files = false;
    std::string problem;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](const char*& into) {
            if (i + 1 >= argc) {
                return false;
            }
            into = argv[++i];
            return true;
        };
        const char* glob = nullptr;
        if (only_files || arg == "-" || arg.empty() || arg[0] != '-') {
            o.inputs.push_back(argv[i]);
        } else if (arg == "--") {
            only_files = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kConvertUsage, m_out);
            std::fputs(kConvertHelp, m_out);
            done = true;
            return 0;
        } else if (arg == "--version") {
            std::fprintf(m_out, "%s %s\n", kName, kVersion);
            done = true;
            return 0;
        } else if (arg == "--profile") {
            if (!value(o.profile)) {
                return Usage("missing name after", "--profile");
            }
        } else if (arg == "--profile-file") {
            if (!value(o.profile_file)) {
                return Usage("missing path after", "--profile-file");
            }
        } else if (const FolderOption folder = TakeProfileFolderOption(argc, argv, i, o.folder);
                   folder != FolderOption::NotOne) {
            if (folder == FolderOption::MissingValue) {
                return Usage(kMissingProfileFolder);
            }
        } else if (arg == "-o") {
            if (!value(o.output)) {
                return Usage("missing file after", "-o");
            }
        } else if (const SettingOptionRead read =
                       ReadSettingOption(argc, argv, i, o.settings, problem);
                   read != SettingOptionRead::NotOne) {
            if (read == SettingOptionRead::UsageError) {
                return Usage(problem.c_str());
            }
            if (read == SettingOptionRead::OutOfMemory) {
                return Fail("Not enough memory");
            }
        } else if (arg == "--theme" || arg == "--dark-theme") {
            if (!value(arg == "--theme" ? o.theme : o.dark_theme)) {
                return Usage("missing name after", argv[i]);
            }
        } else if (arg == "--theme-file") {
            if (!value(o.theme_file)) {
                return Usage("missing path after", "--theme-file");
            }
        } else if (arg == "--inline-styles") {
            o.inline_styles = true;
        } else if (arg == "--list-themes") {
            o.list_themes = true;
        } else if (arg == "--all-classes") {
            o.all_classes = true;
        } else if (arg == "--font-markup") {
            o.font_markup = true;
        } else if (arg == "--style-sheet") {
            o.style_sheet = true;
        } else if (const OutputForm form = FormOfOption(arg); form != OutputForm::Html) {
            if (o.form != OutputForm::Html && o.form != form) {
                return Usage("--rtf, --latex and --ansi exclude each other");
            }
            o.form = form;
        } else if (arg == "-d") {
            if (!value(o.out_dir)) {
                return Usage("missing folder after", "-d");
            }
        } else if (arg == "--include" || arg == "--exclude") {
            if (!value(glob)) {
                return Usage("missing pattern after", argv[i]);
            }
            (arg == "--include" ? o.batch.includes : o.batch.excludes).emplace_back(glob);
            o.batch_only = true;
        } else if (arg == "--fragment") {
            o.batch.fragment = o.batch_only = true;
        } else if (arg == "-q") {
            o.batch.quiet = o.batch_only = true;
        } else if (arg.rfind("-j", 0) == 0) {
            const char* number = arg.size() > 2 ? argv[i] + 2 : nullptr; // -jN or -j N
            char* end = nullptr;
            const long jobs = number || value(number) ? std::strtol(number, &end, 10) : 0;
            if (end == number || *end != '\0' || jobs < 1 || jobs > 1024) {
                return Usage("-j needs a number from 1 to 1024");
            }
            o.batch.jobs = unsigned(jobs);
            o.batch_only = true;
        } else {
            return Usage("unknown option", argv[i]);
        }
    }
    if (o.profile != nullptr && o.profile_file != nullptr) {
        return Usage("--profile and --profile-file exclude each other");
    }
    if (o.theme != nullptr && o.theme_file != nullptr) {
        return Usage("--theme and --theme-file exclude each other");
    }
    if (const char* problem = ProfileFolderOptionsProblem(o.folder)) {
        return Usage(problem);
    }
    if (o.list_themes) {
        done = true;
        return ::ListThemes(o.folder, m_out, m_err);
    }
    if (const char* problem = FormProblem(o.form, o.font_markup, o.style_sheet,
                                          o.out_dir != nullptr, o.batch.fragment)) {
        return Usage(problem);
    }
    if (o.inline_styles &&
        (o.font_markup || o.style_sheet || o.form != OutputForm::Html || o.out_dir != nullptr)) {
        return Usage("--inline-styles takes no --font-markup, --style-sheet, --rtf, --latex, "
                     "--ansi or -d");
    }
    if (o.out_dir != nullptr) {
        if (o.output != nullptr || o.style_sheet) {
            return Usage("-d takes neither -o nor --style-sheet");
        }
        if (o.inputs.empty()) {
            return Usage("-d needs at least one FILE or DIR");
        }
        for (const char* input : o.inputs) {
            if (std::strcmp(input, "-") == 0) {
                return Usage("-d reads no standard input");
            }
            o.batch.inputs.emplace_back(input);
        }
        o.batch.out_dir = o.out_dir;
        o.batch.font_markup = o.font_markup;
        o.batch.form = o.form;
        // Checked before anything is written: pages must not land among the sources.
        if (const std::string problem = OutDirProblem(o.batch); !problem.empty()) {
            return Usage(problem.c_str());
        }
        return 0;
    }
    if (o.batch_only) {
        return Usage("--include, --exclude, --fragment, -j and -q need -d");
    }
    if (o.inputs.size() > 1) {
        return Usage("more than one input file");
    }
    if (o.style_sheet && (!o.inputs.empty() || o.font_markup)) {
        return Usage("--style-sheet takes no input file and no --font-markup");
    }
    return 0;
}

int Command::LoadSettings(const Options& o, ProfileSettings& settings) {
    if (o.profile == nullptr && o.profile_file == nullptr) {
        return SetCppDefaults(settings) ? 0 : Fail("Not enough memory");
    }
    std::string path = o.profile_file != nullptr ? o.profile_file : "";
    std::string error;
    if (o.profile != nullptr &&
        !FindProfileFile(o.profile, o.folder.dir, o.folder.user, path, error)) {
        return Fail(error);
    }
    std::vector<std::string> errors;
    if (!ReadProfileForConversion(path, settings, errors)) {
        for (const std::string& line : errors) {
            Fail(line);
        }
        return 1;
    }
    // The dialog converts with what its controls show of the profile.
    return ThroughTheDialog(settings) ? 0 : Fail("Not enough memory");
}

// The theme `name` (built in, or in the profile folder's themes) or the theme file at `path`,
// with what is wrong named in `problems` (an unknown name as "Unknown theme 'name'").
ThemeFileRead FindThemeFor(const ProfileFolderOptions& options, const char* name, const char* path,
                           Theme& theme, std::string& problems) {
    if (path != nullptr) {
        return ReadThemeFileAt(RealDisk(), path, theme, problems);
    }
    if (const Theme* built_in = FindBuiltInTheme(name)) {
        theme = *built_in;
        return ThemeFileRead::Ok;
    }
    ProfileFolder folder;
    std::string error;
    if (IsThemeName(name) && !ResolveProfileFolder(options.dir, options.user, folder.path, error)) {
        problems += error + "\n";
        return ThemeFileRead::Bad;
    }
    return FindTheme(folder, name, theme, problems);
}

// A theme of the command line: an unknown name is a usage error, a bad theme file a failure that
// names its problems.
int Command::LoadTheme(const Options& o, const char* name, const char* path, Theme& theme) {
    std::string problems;
    const ThemeFileRead read = FindThemeFor(o.folder, name, path, theme, problems);
    if (read == ThemeFileRead::Missing && path == nullptr) {
        return Usage("unknown theme", name);
    }
    if (read == ThemeFileRead::OutOfMemory) {
        return Fail("Not enough memory");
    }
    if (read != ThemeFileRead::Ok) {
        if (!problems.empty() && problems.back() == '\n') {
            problems.pop_back();
        }
        return Fail(problems);
    }
    return 0;
}

// A theme that the profile names: what is wrong with it is named, and the profile's own colours
// (no dark theme) are used instead. False when there is no such theme.
bool Command::ProfileTheme(const Options& o, const char* name, Theme& theme) {
    std::string problems;
    if (FindThemeFor(o.folder, name, nullptr, theme, problems) == ThemeFileRead::Ok) {
        return true;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = problems.find('\n', start)) != std::string::npos;
         start = end + 1) {
        Fail(problems.substr(start, end - start));
    }
    return false;
}

// The looks of the conversion when a theme is asked for, on the command line or by the profile
// (`themed`), and those of the dark theme beside them (`dual`).
int Command::BuildLooks(const Options& o, const ProfileSettings& settings, StyleRecord& style,
                        StyleRecord& dark, bool& themed, bool& dual) {
    Theme theme = ClassicTheme();
    themed = o.theme != nullptr || o.theme_file != nullptr;
    if (themed) {
        if (const int status = LoadTheme(o, o.theme, o.theme_file, theme); status != 0) {
            return status;
        }
    } else if (*settings.p_s_theme != '\0') {
        themed = ProfileTheme(o, settings.p_s_theme, theme);
    }
    Theme dark_theme;
    dual = o.dark_theme != nullptr;
    if (dual) {
        if (const int status = LoadTheme(o, o.dark_theme, nullptr, dark_theme); status != 0) {
            return status;
        }
    } else if (*settings.p_s_dark_theme != '\0') {
        dual = ProfileTheme(o, settings.p_s_dark_theme, dark_theme);
    }
    if (!themed && !dual) {
        return 0;
    }
    if (!BuildStyle(settings, style) || !BuildStyle(settings, dark)) {
        return Fail("Not enough memory");
    }
    ApplyTheme(theme, style);
    if (dual) {
        ApplyTheme(dark_theme, dark);
    }
    themed = true;
    return 0;
}

// The source as the dialog's box delivers it once opened: the reading rule of every way in
// (text/source_text.h), every line break as CR LF. A FIFO or a terminal is read as any
// filter reads it.
int Command::ReadInput(const char* path, std::string& text) {
    const bool from_stdin = path == nullptr || std::strcmp(path, "-") == 0;
    const char* name = from_stdin ? "standard input" : path;
    const int fd = from_stdin ? ::fileno(m_in) : ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Fail(std::string("cannot read '") + name + "': " + std::strerror(errno));
    }
    struct stat st;
    const bool sized = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const std::size_t expected = sized ? std::size_t(st.st_size) : 0;
    PrepareForSource(expected);
    std::string bytes;
    ReadStatus status = ReadToEnd(fd, ReadRules{std::size_t(-1), true}, expected, bytes);
    const int error = errno;
    if (!from_stdin) {
        ::close(fd);
    }
    if (status == ReadStatus::Ok && !ToSourceText(bytes)) {
        status = ReadStatus::NoMemory;
    }
    if (status == ReadStatus::NoMemory) {
        return Fail("Not enough memory");
    }
    if (status != ReadStatus::Ok) {
        return Fail(std::string("cannot read '") + name + "': " + ReadFailureText(status, error));
    }
    text = SourceTextInTextBox(bytes);
    return 0;
}

int Command::WriteOutput(const char* path, std::string_view text) {
    if (path == nullptr || std::strcmp(path, "-") == 0) {
        if (std::fwrite(text.data(), 1, text.size(), m_out) != text.size() ||
            std::fflush(m_out) != 0) {
            return Fail(std::string("cannot write to standard output: ") + std::strerror(errno));
        }
        return 0;
    }
    if (!WriteFileWhole(path, text)) {
        return Fail(std::string("cannot write '") + path + "': " + std::strerror(errno));
    }
    return 0;
}

int Command::StreamOutput(const Options& o, ProfileSettings& settings, const StyleRecord* looks,
                          std::string& source, StreamedFile& file, ConvertObserver& notices) {
    FileBlocks blocks(file);
    const int converted =
        ConvertSourceInBlocks(settings, looks, source, o.font_markup ? 0 : 1, blocks, &notices);
    std::string().swap(source);
    if (!converted && blocks.Error() == 0) {
        return Fail("Not enough memory");
    }
    if (!converted || !file.Commit()) {
        const int error = converted ? errno : blocks.Error();
        return Fail(std::string("cannot write '") + o.output + "': " + std::strerror(error));
    }
    return 0;
}

int Command::Run(int argc, const char* const* argv) {
    // Whatever runs out of memory fails the run with a word, and removes what it began to write.
    try {
        return RunCaught(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail("Not enough memory");
    } catch (const std::length_error&) {
        return Fail("Not enough memory");
    }
}

int Command::RunCaught(int argc, const char* const* argv) {
    Options options;
    bool done = false;
    if (const int status = Parse(argc, argv, options, done); status != 0 || done) {
        return status;
    }
    ProfileSettings settings;
    if (const int status = LoadSettings(options, settings); status != 0) {
        return status;
    }
    // The command line's classes over the profile's.
    if (options.all_classes) {
        SetSuggestedClassColours(settings);
        SetSuggestedNameColours(settings);
    }
    if (!ApplySettingOptions(options.settings, settings)) {
        return Fail("Not enough memory");
    }
    StyleRecord style, dark;
    bool themed = false, dual = false;
    if (const int status = BuildLooks(options, settings, style, dark, themed, dual); status != 0) {
        return status;
    }
    const StyleRecord* looks = themed ? &style : nullptr;
    if (options.style_sheet) {
        // The style of the CSS classes, or the preamble that the LaTeX fragments need.
        std::string sheet = options.form == OutputForm::Latex
                                ? (looks ? BuildLatexPreamble(style) : BuildLatexPreamble(settings))
                            : dual  ? BuildStyleSheet(style, dark)
                            : looks ? BuildStyleSheet(style)
                                    : BuildStyleSheet(settings);
        ToLf(sheet);
        return WriteOutput(options.output, sheet);
    }
    if (options.out_dir != nullptr) {
        options.batch.style = looks;
        options.batch.dark_style = dual ? &dark : nullptr;
        return RunBatch(options.batch, settings, m_err);
    }
    std::string source;
    if (const int status = ReadInput(options.inputs.empty() ? nullptr : options.inputs[0], source);
        status != 0) {
        return status;
    }
    NoticePrinter notices(m_err);
    if (options.form != OutputForm::Html) {
        std::string text;
        if (!ConvertInForm(options.form, settings, looks, source, 1, false, text, &notices)) {
            return Fail("Not enough memory");
        }
        return WriteOutput(options.output, text);
    }
    if (options.inline_styles) {
        // The clipboard's HTML: every look in style attributes, so that no style sheet is needed.
        std::string html = dual    ? BuildRichText(source, settings, style, dark)
                           : looks ? BuildRichText(source, settings, style, 1)
                                   : BuildRichText(source, settings, 1);
        if (html.empty()) {
            return Fail("Not enough memory");
        }
        ToLf(html);
        html += '\n';
        return WriteOutput(options.output, html);
    }
    if (options.output != nullptr && std::strcmp(options.output, "-") != 0) {
        StreamedFile file;
        switch (file.Begin(options.output)) {
        case StreamedFile::Start::Streaming:
            return StreamOutput(options, settings, looks, source, file, notices);
        case StreamedFile::Start::Failed:
            return Fail(std::string("cannot write '") + options.output +
                        "': " + std::strerror(errno));
        case StreamedFile::Start::NotStreamed:
            break;
        }
    }
    // Room for the whole output up front: the converter then never moves it while it grows, and
    // pages that stay unused are never touched.
    std::string html;
    tarvo::TryReserve(html, source.size() * 2 + 4096);
    tarvo::PreferLargePages(html);
    if (!(looks
              ? ConvertSource(settings, style, source, options.font_markup ? 0 : 1, html, &notices)
              : ConvertSource(settings, source, options.font_markup ? 0 : 1, html, &notices))) {
        return Fail("Not enough memory");
    }
    std::string().swap(source);
    ToLf(html);
    return WriteOutput(options.output, html);
}

} // namespace

int RunConvertCommand(int argc, const char* const* argv, std::FILE* in, std::FILE* out,
                      std::FILE* err) {
    return Command(in, out, err).Run(argc, argv);
}

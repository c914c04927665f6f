#include "app/command_line.h"

#include <string_view>

namespace {

constexpr const char* kUsage = "Usage: tarvo [--profile-dir DIR | --user-profiles]\n";

constexpr const char* kHelp =
    "Turns C and C++ source into HTML for web pages, in a dialog.\n"
    "\n"
    "Profiles (profiles.ini and the profile files it lists) live in the current directory, or:\n"
    "  --profile-dir DIR  in the folder DIR\n"
    "  --user-profiles    in the user's own folder, ${XDG_CONFIG_HOME:-$HOME/.config}/tarvo,\n"
    "                     made when missing; the desktop's menu entry starts Tarvo this way\n"
    "A profile folder named by either option that has no profiles.ini yet starts with the\n"
    "profile \"C++\", the built-in settings, as its default.\n"
    "  --help             show this help\n"
    "  --version          show the version\n"
    "The toolkit's own options (-platform, -display, -style, ...) are passed on to it.\n";

// Qt's options: the platform's, the windows', the widgets' and the X11 platform's.
constexpr std::string_view kToolkitValueOptions[] = {"platform",
                                                     "platformpluginpath",
                                                     "platformtheme",
                                                     "plugin",
                                                     "qwindowgeometry",
                                                     "geometry",
                                                     "qwindowicon",
                                                     "icon",
                                                     "qwindowtitle",
                                                     "title",
                                                     "session",
                                                     "display",
                                                     "name",
                                                     "style",
                                                     "stylesheet"};
constexpr std::string_view kToolkitFlagOptions[] = {"reverse", "sync",   "widgetcount",
                                                    "nograb",  "dograb", "testability"};
constexpr std::string_view kToolkitJoinedOptions[] = {"style=", "stylesheet=", "qmljsdebugger="};

// How many arguments from argv[i] on belong to a toolkit option: 0 when it is none.
int ToolkitOption(int argc, char** argv, int i) {
    std::string_view arg = argv[i];
    if (arg.size() < 2 || arg[0] != '-') {
        return 0;
    }
    arg.remove_prefix(arg[1] == '-' ? 2 : 1); // the toolkit takes "--name" as "-name"
    for (std::string_view name : kToolkitValueOptions) {
        if (arg == name) {
            return i + 1 < argc ? 2 : 1;
        }
    }
    for (std::string_view name : kToolkitFlagOptions) {
        if (arg == name) {
            return 1;
        }
    }
    for (std::string_view prefix : kToolkitJoinedOptions) {
        if (arg.starts_with(prefix)) {
            return 1;
        }
    }
    return 0;
}

int Usage(std::FILE* err, const char* problem, const char* what = nullptr) {
    std::fprintf(err, "tarvo: %s%s%s%s\n%s%s", problem, what ? " '" : "", what ? what : "",
                 what ? "'" : "", kUsage, kHelp);
    return 2;
}

} // namespace

int ParseTarvoOptions(int& argc, char** argv, TarvoOptions& options, std::FILE* out,
                      std::FILE* err) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fprintf(out, "%s%s", kUsage, kHelp);
            return 0;
        }
        if (arg == "--version") {
            std::fprintf(out, "tarvo %s\n", TARVO_VERSION);
            return 0;
        }
        switch (TakeProfileFolderOption(argc, argv, i, options.folder)) {
        case FolderOption::Taken:
            continue;
        case FolderOption::MissingValue:
            return Usage(err, kMissingProfileFolder);
        case FolderOption::NotOne:
            break;
        }
        const int toolkit = ToolkitOption(argc, argv, i);
        if (toolkit == 0) {
            return Usage(err, arg.starts_with('-') ? "unknown option" : "unexpected argument",
                         argv[i]);
        }
        for (int n = 0; n < toolkit; ++n) {
            argv[kept++] = argv[i + n];
        }
        i += toolkit - 1;
    }
    if (const char* problem = ProfileFolderOptionsProblem(options.folder)) {
        return Usage(err, problem);
    }
    argc = kept;
    argv[argc] = nullptr;
    return -1;
}

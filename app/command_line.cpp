#include "app/command_line.h"

#include <cstring>
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
    "  --help             show this help\n"
    "  --version          show the version\n";

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
        if (arg == "--profile-dir") {
            if (i + 1 >= argc) {
                std::fprintf(err, "tarvo: missing folder after '--profile-dir'\n%s", kUsage);
                return 2;
            }
            options.profile_dir = argv[++i];
        } else if (arg == "--user-profiles") {
            options.user_profiles = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    if (options.profile_dir != nullptr && options.user_profiles) {
        std::fprintf(err, "tarvo: --profile-dir and --user-profiles exclude each other\n%s",
                     kUsage);
        return 2;
    }
    argc = kept;
    argv[argc] = nullptr;
    return -1;
}

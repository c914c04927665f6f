#include "platform/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace platform {

TempFolder::~TempFolder() {
    if (!m_path.empty()) {
        std::error_code ignored; // nothing is left to tell at the end
        std::filesystem::remove_all(m_path, ignored);
    }
}

const std::string& TempFolder::Path() {
    if (m_path.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string name =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tarvo-XXXXXX";
        // mkdtemp makes the folder with mode 0700.
        if (::mkdtemp(name.data()) != nullptr) {
            m_path = std::move(name);
        }
    }
    return m_path;
}

} // namespace platform

#pragma once
// A private folder for files that live only as long as the program.

#include <string>

namespace platform {

// Made on first use in the system's temporary folder (TMPDIR, else /tmp), readable by its owner
// only; removed with everything in it when this object ends.
class TempFolder {
public:
    TempFolder() = default;
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, made now if it does not exist yet; "" when it cannot be made (errno
    // tells why).
    const std::string& Path();

private:
    std::string m_path;
};

} // namespace platform

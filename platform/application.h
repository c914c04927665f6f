#pragma once
// The program object: sets up the toolkit, then hands over to InitInstance.

namespace platform {

struct ApplicationInfo {
    const char* name;         // shown by the desktop, e.g. in the task bar
    const char* version;      // "1.2.3.4"
    const char* desktop_file; // desktop entry name without ".desktop"
};

class Application {
public:
    explicit Application(const ApplicationInfo& info) : m_info(info) {}
    virtual ~Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the program and returns its exit status: InitInstance returning false ends the program
    // at once; true enters the toolkit's event loop until the last window closes.
    int Run(int argc, char** argv);

    // Called once the toolkit is up.
    virtual bool InitInstance() = 0;

private:
    ApplicationInfo m_info;
};

} // namespace platform

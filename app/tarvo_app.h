#pragma once
// The program object: shows the dialog and ends when it closes.

#include "app/command_line.h"
#include "platform/application.h"

class CTarvoApp : public platform::Application {
public:
    CTarvoApp();

    // The command line's options, before Run.
    void SetOptions(const TarvoOptions& options) { m_options = options; }
    // True when the dialog could not start: the profile folder could not be had.
    bool Failed() const { return m_failed; }

    // Runs the dialog modally; returns false, so the program ends when the dialog closes.
    bool InitInstance() override;

private:
    TarvoOptions m_options;
    bool m_failed = false;
};

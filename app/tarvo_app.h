#pragma once
// The program object: shows the dialog and ends when it closes.

#include "platform/application.h"

class CTarvoApp : public platform::Application {
public:
    CTarvoApp();

    // Runs the dialog modally; returns false, so the program ends when the dialog closes.
    bool InitInstance() override;
};

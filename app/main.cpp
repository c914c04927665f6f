#include "app/command_line.h"
#include "app/tarvo_app.h"

#include <cstdio>

namespace {
CTarvoApp theApp;
}

int main(int argc, char** argv) {
    TarvoOptions options;
    if (const int status = ParseTarvoOptions(argc, argv, options, stdout, stderr); status >= 0) {
        return status;
    }
    theApp.SetOptions(options);
    const int status = theApp.Run(argc, argv);
    return theApp.Failed() ? 1 : status;
}

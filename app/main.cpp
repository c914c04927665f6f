#include "app/tarvo_app.h"

namespace {
CTarvoApp theApp;
}

int main(int argc, char** argv) {
    return theApp.Run(argc, argv);
}

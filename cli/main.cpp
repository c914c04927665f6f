#include "cli/convert_command.h"

#include <cstdio>

int main(int argc, char** argv) {
    const int status = RunConvertCommand(argc, argv, stdin, stdout, stderr);
    // A write error that only the final flush finds still fails the run.
    if (std::fclose(stdout) != 0 && status == 0) {
        std::perror("tarvo-convert: cannot write to standard output");
        return 1;
    }
    return status;
}

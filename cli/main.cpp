#include "cli/convert_command.h"

#include <cerrno>
#include <cstdio>

int main(int argc, char** argv) {
    const int status = RunConvertCommand(argc, argv, stdin, stdout, stderr);
    // A write error that only the final flush finds still fails the run. A standard output that
    // was closed from the start is no error when nothing was written to it (-o, --help to a
    // closed stream fails in the write itself).
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    const bool closed = std::fclose(stdout) == 0 || errno == EBADF;
    if (!(flushed && closed) && status == 0) {
        std::perror("tarvo-convert: cannot write to standard output");
        return 1;
    }
    return status;
}

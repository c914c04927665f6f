#include "base/cores.h"

#include <sched.h>

#include <thread>

namespace tarvo {

unsigned UsableCores() noexcept {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return unsigned(CPU_COUNT(&set));
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

} // namespace tarvo

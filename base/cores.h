#pragma once
// How many cores this process may run on: its affinity mask where the system tells it (a
// container or taskset may allow fewer than the machine has), else the machine's count.

namespace tarvo {

unsigned UsableCores() noexcept;

} // namespace tarvo

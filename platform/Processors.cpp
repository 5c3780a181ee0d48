#include "platform/Processors.h"

#include <algorithm>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include <bitset>
#else
#include <sched.h>
#endif

namespace brim::platform {
namespace {

// The processors the affinity allows; 0 when the system does not say.
unsigned allowedProcessors() {
#ifdef _WIN32
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return 0;
    return static_cast<unsigned>(std::bitset<sizeof(DWORD_PTR) * 8>(process).count());
#else
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0) return 0;
    return static_cast<unsigned>(CPU_COUNT(&set));
#endif
}

}  // namespace

unsigned usableProcessors() {
    const unsigned machine = std::thread::hardware_concurrency();
    const unsigned allowed = allowedProcessors();
    const unsigned count =
        machine == 0 || allowed == 0 ? std::max(machine, allowed) : std::min(machine, allowed);
    return std::max(1u, count);
}

}  // namespace brim::platform

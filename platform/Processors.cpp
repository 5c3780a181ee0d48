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

unsigned usableProcessors() {
    unsigned count = std::thread::hardware_concurrency();
#ifdef _WIN32
    DWORD_PTR process = 0, system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
        const auto allowed =
            static_cast<unsigned>(std::bitset<sizeof(DWORD_PTR) * 8>(process).count());
        count = count == 0 ? allowed : std::min(count, allowed);
    }
#else
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const auto allowed = static_cast<unsigned>(CPU_COUNT(&set));
        if (allowed > 0) count = count == 0 ? allowed : std::min(count, allowed);
    }
#endif
    return std::max(1u, count);
}

}  // namespace brim::platform

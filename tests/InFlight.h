#pragma once
// How many requests a web server of the tests' or the benchmarks' own runs at
// once, counted over one server or several.

#include <algorithm>
#include <mutex>

namespace brim::test {

struct InFlight {
    std::mutex mutex;
    int now = 0, most = 0;
    void enter() {
        const std::lock_guard lock(mutex);
        most = std::max(most, ++now);
    }
    void leave() {
        const std::lock_guard lock(mutex);
        --now;
    }
};

}  // namespace brim::test

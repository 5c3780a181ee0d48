#pragma once
// How many processors this process may run on.

namespace brim::platform {

// The processors the system lets this process run on (its affinity, as
// taskset or a job object sets it), never more than the machine has; at
// least 1.
unsigned usableProcessors();

}  // namespace brim::platform

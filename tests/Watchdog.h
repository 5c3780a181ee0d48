#pragma once
// No test waits without a bound. Every GoogleTest program runs under a
// watchdog (TestMain.cpp): a test that runs longer than the limit is taken as
// hung, and the program prints its name and every thread's backtrace, then
// ends with a failure. Tests that wait on threads of their own call
// reportHang() when a bounded wait runs out, for the same report at once.

#include <chrono>
#include <string>

namespace brim::test {

// BRIMMARK_TEST_TIMEOUT seconds, 300 when unset: far longer than any test
// takes, even under Wine on a loaded machine.
std::chrono::seconds testTimeout();

// The test running now, as "Suite.Name"; empty between tests.
std::string runningTest();

// Prints `what`, the running test's name and the backtrace of every thread
// of this process (through gdb on Linux, from its unwind tables on Windows),
// then ends the process with status 3. A thread that hung cannot be joined
// or unwound.
[[noreturn]] void reportHang(const std::string& what);

}  // namespace brim::test

// A test that hangs on purpose, waiting for a child that never ends: run
// under a short BRIMMARK_TEST_TIMEOUT, the watchdog must name it, show the
// child's stack beside the parent's and leave no child behind.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

TEST(WatchdogCheck, AParentWaitingOnAHungChild) {
    const pid_t child = fork();
    if (child == 0) {
        for (;;)
            pause();
    }
    waitpid(child, nullptr, 0);
}

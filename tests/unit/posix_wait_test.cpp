// The POSIX pieces' waits: on descriptors until a deadline, for the stop signals, on a helper.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>

#include "posix/descriptor_wait.h"
#include "posix/helper_process.h"
#include "posix/stop_signals.h"

namespace wrigglet::posix {
namespace {

using std::chrono::milliseconds;

TEST(WaitForDescriptors, AnswersAReadyDescriptorOrTheDeadline) {
    struct Case {
        bool written;
        std::optional<milliseconds> deadline;  // from now; none: no deadline
        int answer;
    };
    for (const Case c : {Case{true, std::nullopt, 1}, Case{true, milliseconds(-5), 1}, Case{false, milliseconds(-5), 0},
                         Case{false, milliseconds(20), 0}}) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        if (c.written) {
            ASSERT_EQ(write(ends[1], "x", 1), 1);
        }
        pollfd watch{ends[0], POLLIN, 0};
        std::optional<TickTime> deadline;
        if (c.deadline) deadline = std::chrono::steady_clock::now() + *c.deadline;
        EXPECT_EQ(WaitForDescriptors({&watch, 1}, deadline, nullptr), c.answer) << c.written;
        EXPECT_EQ(watch.revents == POLLIN, c.written);
        close(ends[0]);
        close(ends[1]);
    }
}

// A stop signal waits blocked until a look finds it pending, or until a wait opens it.
TEST(StopSignals, AreFoundPendingAndEndAWait) {
    const sigset_t waitMask = CatchStopSignals();
    EXPECT_FALSE(StopSignalled());
    raise(SIGINT);
    EXPECT_EQ(StopSignal(), SIGINT);
    raise(SIGTERM);
    EXPECT_EQ(WaitForDescriptors({}, std::nullopt, &waitMask), -1);
    EXPECT_EQ(errno, EINTR);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    sigprocmask(SIG_SETMASK, &waitMask, nullptr);
}

TEST(RunHelper, AnswersWhatASuccessfulHelperPrinted) {
    struct Case {
        const char* script;
        bool stop;
        std::optional<std::string> printed;
    };
    for (const Case& c : {Case{"echo picture.png", false, "picture.png\n"}, Case{"echo half; exit 3", false, {}},
                          Case{"sleep 5", true, {}}}) {
        const StopRequest stop = [&c] { return c.stop; };
        EXPECT_EQ(RunHelper({"/bin/sh", "-c", c.script}, stop), c.printed) << c.script;
    }
    EXPECT_EQ(RunHelper({"/nonexistent/helper"}, {}), std::nullopt);
    EXPECT_EQ(FindHelper("sh", {"/bin"}).empty(), false);
    EXPECT_EQ(FindHelper("no-such-helper-anywhere", {"/bin"}), "");
}

}  // namespace
}  // namespace wrigglet::posix

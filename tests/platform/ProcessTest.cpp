#include <gtest/gtest.h>

#include <chrono>

#include "platform/AppEvents.h"
#include "platform/Process.h"
#include "support/TempDir.h"

using namespace platform;

TEST(ProcessTest, ExitStatusEnvironmentAndOutput) {
    testsupport::TempDir dir;
    ProcessCommand command;
    command.program = "sh";
    command.args = {"-c", "echo \"$ZR_PROBE\" in $(pwd); exit 3"};
    command.env = {{"ZR_PROBE", "値"}};
    command.workingDir = dir.str();
    command.outputFile = (dir / "out.txt").string();
    EXPECT_EQ(runProcess(command), 3);
    EXPECT_EQ(testsupport::readFileBytes(dir / "out.txt"), "値 in " + dir.str() + "\n");
}

TEST(ProcessTest, MissingProgramAndSignals) {
    std::string error;
    EXPECT_EQ(runProcess({"/no/such/program", {}, {}, {}, {}}, &error), -1);
    EXPECT_FALSE(error.empty());

    ChildProcess child;
    ASSERT_TRUE(child.start({"sleep", {"10"}, {}, {}, {}}));
    EXPECT_TRUE(child.running());
    child.terminate();
    EXPECT_EQ(child.wait(), 128 + 15);
    EXPECT_FALSE(child.running());
}

TEST(WaitTest, WaitsOnTheMonotonicClockAndPumps) {
    int pumped = 0;
    auto previous = setEventPump([&] { ++pumped; });
    auto start = std::chrono::steady_clock::now();
    waitMs(30);
    auto elapsed = std::chrono::steady_clock::now() - start;
    setEventPump(previous);
    EXPECT_GE(elapsed, std::chrono::milliseconds(30));
    EXPECT_GT(pumped, 0);
}

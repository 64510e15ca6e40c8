#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/NamedGuard.h"
#include "support/TempDir.h"

using platform::NamedGuard;

namespace {
struct LockDir {
    testsupport::TempDir dir;
    LockDir() { setenv("ZR_LOCK_DIR", (dir / "locks").c_str(), 1); }
    ~LockDir() { unsetenv("ZR_LOCK_DIR"); }
};
} // namespace

TEST(NamedGuardTest, ExistsOnlyWhileHeld) {
    LockDir env;
    EXPECT_FALSE(NamedGuard::exists("ZORUTE_RENDO"));
    {
        NamedGuard g;
        ASSERT_TRUE(g.acquire("ZORUTE_RENDO"));
        EXPECT_TRUE(NamedGuard::exists("ZORUTE_RENDO"));
        EXPECT_FALSE(NamedGuard::exists("VELTANO000"));
        NamedGuard second;
        EXPECT_FALSE(second.acquire("ZORUTE_RENDO"));
    }
    EXPECT_FALSE(NamedGuard::exists("ZORUTE_RENDO"));
}

TEST(NamedGuardTest, TellsAGuardHeldFromOneThatCannotBeMade) {
    LockDir env;
    NamedGuard g, second;
    EXPECT_EQ(g.tryAcquire("ZORUTE_RENDO"), NamedGuard::Acquired::Taken);
    EXPECT_EQ(second.tryAcquire("ZORUTE_RENDO"), NamedGuard::Acquired::Held);
    EXPECT_FALSE(second.held());
    // A lock folder below a plain file can never be made (even for root).
    std::ofstream(env.dir / "plain") << "x";
    setenv("ZR_LOCK_DIR", (env.dir / "plain" / "locks").c_str(), 1);
    NamedGuard third;
    EXPECT_EQ(third.tryAcquire("ZORUTE_RENDO"), NamedGuard::Acquired::Unavailable);
    EXPECT_FALSE(third.held());
    EXPECT_FALSE(third.acquire("ZORUTE_RENDO"));
    EXPECT_FALSE(NamedGuard::exists("ZORUTE_RENDO"));
}

TEST(NamedGuardTest, VanishesWhenTheHolderDies) {
    LockDir env;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t pid = fork();
    if (pid == 0) {
        NamedGuard g;
        char ok = g.acquire("VELTANO_TOOLS") ? '1' : '0';
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, '1');
    EXPECT_TRUE(NamedGuard::exists("VELTANO_TOOLS"));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_FALSE(NamedGuard::exists("VELTANO_TOOLS"));
    close(ready[0]);
    close(ready[1]);
}

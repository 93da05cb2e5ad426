#include "common/database_lock.h"

#include "common/tool_error.h"
#include "platform/file_lock.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

namespace tavik {
namespace {

using std::chrono::milliseconds;

// The wait for a held lock is three seconds; the tests that meet a held lock
// shorten it through TAVIK_LOCK_WAIT_MS, which must be honoured exactly as
// given and must not turn a stray value into no wait at all.
TEST(DatabaseLockTest, WaitsAsLongAsSetAndNoStrayValueChangesTheWait)
{
    EXPECT_EQ(DatabaseLock::wait(), milliseconds(3000));
    for (const char* stray : {"", "-5", "1.5", "20s", "60001", "99999999999999999999"}) {
        const test::ScopedEnvironment value("TAVIK_LOCK_WAIT_MS", stray);
        EXPECT_EQ(DatabaseLock::wait(), milliseconds(3000)) << stray;
    }
    const test::ScopedEnvironment value("TAVIK_LOCK_WAIT_MS", "0");
    EXPECT_EQ(DatabaseLock::wait(), milliseconds(0));
}

TEST(DatabaseLockTest, AHeldLockIsWaitedForThenRefusedAndTakenOnceFree)
{
    test::TestFolder folder("database-lock");
    const std::string path = folder.file("tavik.lock");
    const test::ScopedEnvironment shortWait = test::shortLockWait();
    std::optional<FileLock> held(std::in_place);
    ASSERT_EQ(held->acquire(path, milliseconds(0)), FileLock::Status::Locked);

    DatabaseLock waiting;
    ToolError error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(waiting.acquire(error, path));
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(200));
    EXPECT_EQ(error.path, path);

    // Let go during the wait: the waiting run takes the lock.
    std::thread release([&] {
        std::this_thread::sleep_for(milliseconds(50));
        held.reset();
    });
    DatabaseLock taken;
    EXPECT_TRUE(taken.acquire(error, path));
    release.join();
}

} // namespace
} // namespace tavik

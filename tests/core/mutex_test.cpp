// The recursive mutex: re-entry on one thread, exclusion between threads.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/mutex.h"

TEST(Mutex, IsRecursiveAndExcludesOtherThreads) {
    Mutex mutex("test");
    ASSERT_TRUE(mutex.Lock());
    ASSERT_TRUE(mutex.Lock()); // re-entry must not deadlock
    mutex.Unlock();
    mutex.Unlock();

    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                MutexLock outer(mutex);
                MutexLock inner(mutex);
                ++counter;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, 40000);
}

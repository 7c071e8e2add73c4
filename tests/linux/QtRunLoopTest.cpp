#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "QtEventWait.h"
#include "platform/linux/QtRunLoop.h"

namespace plinka {
namespace {

using testing::processEventsUntil;

TEST(QtRunLoop, TasksFromOtherThreadsRunOnTheMainThreadInOrder) {
    QtRunLoop runLoop;
    EXPECT_TRUE(runLoop.isMainThread());
    std::vector<int> order;
    bool allOnMain = true;
    std::thread producer([&] {
        EXPECT_FALSE(runLoop.isMainThread());
        for (int i = 0; i < 1000; ++i) {
            runLoop.performOnMainThread([&, i] {
                allOnMain = allOnMain && runLoop.isMainThread();
                order.push_back(i);
            });
        }
    });
    producer.join();
    ASSERT_TRUE(processEventsUntil([&] { return order.size() == 1000; }));
    EXPECT_TRUE(allOnMain);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(order[static_cast<size_t>(i)], i);
    }
}

TEST(QtRunLoop, RepeatingTimerFiresUntilInvalidatedAndFireRunsAtOnce) {
    QtRunLoop runLoop;
    int fired = 0;
    auto timer = runLoop.scheduleTimer(0.01, true, [&](Timer&) { ++fired; });
    timer->fire();
    EXPECT_EQ(fired, 1);
    ASSERT_TRUE(processEventsUntil([&] { return fired >= 3; }));
    timer->invalidate();
    EXPECT_FALSE(timer->isValid());
    const int afterInvalidate = fired;
    processEventsUntil([] { return false; }, 50);
    EXPECT_EQ(fired, afterInvalidate);
}

}  // namespace
}  // namespace plinka

namespace plinka {
namespace {

TEST(QtRunLoop, WakeupsFromAnotherThreadRunTheTaskOnTheMainThread) {
    QtRunLoop runLoop;
    std::atomic<int> produced{0};
    int consumed = 0;
    bool onMain = true;
    auto wakeup = runLoop.makeWakeup([&] {
        onMain = onMain && runLoop.isMainThread();
        consumed = produced.load();
    });
    std::thread producer([&] {
        for (int i = 0; i < 500; ++i) {
            produced.fetch_add(1);
            wakeup->wake();
        }
    });
    producer.join();
    ASSERT_TRUE(testing::processEventsUntil([&] { return consumed == 500; }));
    EXPECT_TRUE(onMain);
}

}  // namespace
}  // namespace plinka

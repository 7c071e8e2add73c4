#include <gtest/gtest.h>

#include <unistd.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "StandardErrorCapture.h"
#include "platform/linux/SystemLog.h"

namespace plinka {
namespace {

TEST(SystemLog, EachMessageIsOneWholeStampedLineEvenFromManyThreads) {
    testing::StandardErrorCapture capture;
    {
        SystemLog log("PlinkaTest");
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&log, t] {
                for (int i = 0; i < 50; ++i) {
                    log.log("message " + std::to_string(t) + " " + std::string(200, 'x'));
                }
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
    }
    std::istringstream text(capture.text());
    int count = 0;
    for (std::string line; std::getline(text, line); ++count) {
        EXPECT_NE(line.find(" PlinkaTest[" + std::to_string(::getpid()) + ":"), std::string::npos);
        EXPECT_EQ(line.find('x'), line.size() - 200);
    }
    EXPECT_EQ(count, 200);
    EXPECT_EQ(capture.text().back(), '\n');
}

}  // namespace
}  // namespace plinka

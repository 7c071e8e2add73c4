#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/SystemLog.h"

namespace plinka {
namespace {

// Catches what is written to standard error while it lives.
class StandardErrorCapture {
  public:
    StandardErrorCapture() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        file_ = std::tmpfile();
        ::dup2(::fileno(file_), STDERR_FILENO);
    }
    ~StandardErrorCapture() {
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        std::fclose(file_);
    }
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::rewind(file_);
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, file_)) {
            result.emplace_back(buffer);
        }
        return result;
    }

  private:
    int saved_;
    std::FILE* file_;
};

TEST(SystemLog, EachMessageIsOneWholeStampedLineEvenFromManyThreads) {
    StandardErrorCapture capture;
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
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 200u);
    for (const auto& line : lines) {
        EXPECT_NE(line.find(" PlinkaTest[" + std::to_string(::getpid()) + ":"), std::string::npos);
        EXPECT_EQ(line.back(), '\n');
        EXPECT_EQ(line.find('x'), line.size() - 201);
    }
}

}  // namespace
}  // namespace plinka

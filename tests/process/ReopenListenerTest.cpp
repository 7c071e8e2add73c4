#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <vector>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "linux/QtEventWait.h"
#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/process/ProcfsProcessManager.h"
#include "platform/linux/process/ReopenChannel.h"
#include "platform/linux/process/ReopenListener.h"

namespace plinka {
namespace {

namespace fs = std::filesystem;
using testing::processEventsUntil;

// A client that speaks to the listener directly: it sends `request` and collects, without
// waiting, what comes back while the event loop runs the listener.
class RawClient {
  public:
    RawClient(const std::string& path, const std::string& request)
        : socket_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        const auto address = socketAddress(path);
        connected_ = ::connect(socket_.get(), reinterpret_cast<const sockaddr*>(&*address),
                               sizeof *address) == 0;
        ::send(socket_.get(), request.data(), request.size(), MSG_NOSIGNAL);
    }
    bool connected() const { return connected_; }
    // Whether the listener has closed the connection.
    bool done() {
        char buffer[64];
        ssize_t count = 0;
        while ((count = ::recv(socket_.get(), buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
            reply_.append(buffer, static_cast<size_t>(count));
        }
        closed_ = closed_ || count == 0;
        return closed_;
    }
    const std::string& reply() const { return reply_; }

  private:
    FileDescriptor socket_;
    bool connected_ = false;
    bool closed_ = false;
    std::string reply_;
};

class ReopenListenerTest : public ::testing::Test {
  protected:
    std::unique_ptr<ReopenListener> listen() {
        std::string error;
        auto listener = ReopenListener::listen(
            [this](ReopenRequest request) {
                ++reopens_;
                requests_.push_back(request);
            },
            &error);
        EXPECT_TRUE(listener) << error;
        return listener;
    }
    std::string directory() const { return runtime_.path().string() + "/plinka"; }

    testing::ScratchDirectory runtime_;
    testing::ScopedEnvironment environment_{"XDG_RUNTIME_DIR", runtime_.path()};
    int reopens_ = 0;
    std::vector<ReopenRequest> requests_;
};

// A directory left open and a file a dead process left at the socket's path are taken over.
TEST_F(ReopenListenerTest, ListensOnItsOwnSocketInAPrivateDirectoryUntilItGoes) {
    fs::create_directories(directory());
    fs::permissions(directory(), fs::perms::all);
    std::ofstream(reopenSocketPath(directory(), getpid())) << "left over";
    auto listener = listen();
    ASSERT_TRUE(listener);
    EXPECT_EQ(listener->socketPath(), directory() + "/" + std::to_string(getpid()) + ".socket");
    EXPECT_EQ(fs::status(directory()).permissions(), fs::perms::owner_all);
    RawClient client(listener->socketPath(), std::string(kReopenRequest));
    ASSERT_TRUE(client.connected());
    EXPECT_TRUE(processEventsUntil([&] { return client.done(); }));
    EXPECT_EQ(reopens_, 1);

    const std::string path = listener->socketPath();
    listener.reset();
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ReopenListenerTest, ClosesOtherRequestsWithoutAnAnswerAndKeepsServing) {
    auto listener = listen();
    ASSERT_TRUE(listener);
    const std::string path = listener->socketPath();
    // One that sends nothing stays open without holding up the others.
    RawClient silent(path, "");
    RawClient wrong(path, "hello\n");
    RawClient longer(path, "reopen now\n");
    RawClient partial(path, "reop");
    EXPECT_TRUE(processEventsUntil([&] { return wrong.done() && longer.done(); }));
    EXPECT_EQ(wrong.reply(), "");
    EXPECT_EQ(longer.reply(), "");
    EXPECT_EQ(reopens_, 0);

    RawClient right(path, std::string(kReopenRequest));
    RawClient preferences(path, std::string(requestText(ReopenRequest::ShowPreferences)));
    EXPECT_TRUE(processEventsUntil([&] { return right.done() && preferences.done(); }));
    EXPECT_EQ(right.reply(), kReopenReply);
    EXPECT_EQ(preferences.reply(), kReopenReply);
    EXPECT_THAT(requests_, ::testing::UnorderedElementsAre(ReopenRequest::Reopen,
                                                           ReopenRequest::ShowPreferences));
    EXPECT_FALSE(silent.done());
    EXPECT_FALSE(partial.done());
}

TEST_F(ReopenListenerTest, RefusesADirectoryThatIsNotThisUsersOwn) {
    testing::ScratchDirectory elsewhere;
    fs::create_directory_symlink(elsewhere.path(), directory());
    std::string error;
    EXPECT_FALSE(ReopenListener::listen([](ReopenRequest) {}, &error));
    EXPECT_NE(error.find(directory()), std::string::npos) << error;
    EXPECT_FALSE(isPrivateDirectory(directory()));
    fs::remove(directory());

    if (geteuid() != 0) {
        GTEST_SKIP() << "a directory of another user needs root to make";
    }
    fs::create_directory(directory());
    fs::permissions(directory(), fs::perms::owner_all);
    ASSERT_EQ(chown(directory().c_str(), 65534, 65534), 0);
    EXPECT_FALSE(ReopenListener::listen([](ReopenRequest) {}, &error));
    EXPECT_FALSE(isPrivateDirectory(directory()));
}

}  // namespace
}  // namespace plinka

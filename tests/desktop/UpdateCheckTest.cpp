// The built application's update check against a loopback appcast server: the first check
// carries the system profile with the machine identifier and the saved theme, a second one
// within the week carries nothing.
#include <gmock/gmock.h>

#include <QCryptographicHash>
#include <QFile>
#include <thread>

#include "DesktopTest.h"
#include "LoopbackHttpServer.h"
#include "PlinkaSession.h"

namespace plinka::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Key;
using ::testing::Not;

// What Plinka computes as the machine identifier: the SHA-1 of /etc/machine-id, in hexadecimal;
// nullopt when the file is missing or empty.
std::optional<std::string> machineIdentifier() {
    QFile file("/etc/machine-id");
    const QByteArray contents = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (contents.isEmpty()) {
        return std::nullopt;
    }
    return QCryptographicHash::hash(contents, QCryptographicHash::Sha1).toHex().toStdString();
}

constexpr const char* kNewerRelease = R"(<?xml version="1.0"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel><item><sparkle:version>99.0</sparkle:version></item></channel>
</rss>)";

class UpdateCheckTest : public DesktopTest {};

TEST_F(UpdateCheckTest, TheProfileGoesWithTheFirstCheckAndNotWithASecondWithinTheWeek) {
    LoopbackHttpServer appcasts;
    appcasts.answer(LoopbackHttpServer::Answer::Body, kNewerRelease);
    PlinkaSession session(display());
    session.writeDefaults({{"SUEnableAutomaticChecks", "YES"},
                           {"SUFeedURL", appcasts.url()},
                           {"soundTheme", "Typewriter"}});
    {
        auto first = session.start();
        ASSERT_TRUE(eventually([&] { return appcasts.targets().size() == 1; })) << first->output();
        const std::string target = appcasts.targets()[0];
        const auto query = decodedQuery(target);
        EXPECT_EQ(query.at("soundTheme"), "Typewriter");
        if (const auto uuid = machineIdentifier()) {
            EXPECT_EQ(target.rfind("/appcast.xml?uuid=" + *uuid + "&soundTheme=Typewriter&", 0), 0u)
                << target;
        } else {
            EXPECT_THAT(query, Not(Contains(Key("uuid"))));
        }
        EXPECT_EQ(query.at("appName"), "Plinka");
        // A newer release changes nothing that shows, and nothing fails.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_TRUE(running(first->pid()));
        first->waitForExit(std::chrono::milliseconds(100));
        EXPECT_THAT(first->output(), Not(HasSubstr("Update check")));
    }
    auto second = session.start();
    ASSERT_TRUE(eventually([&] { return appcasts.targets().size() == 2; })) << second->output();
    EXPECT_EQ(appcasts.targets()[1], "/appcast.xml");
}

}  // namespace
}  // namespace plinka::testing

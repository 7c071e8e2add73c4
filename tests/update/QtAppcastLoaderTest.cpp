// The appcast fetch against real loopback servers: what is sent and parsed, and every fault
// ending the fetch quietly within the time limit while the main thread keeps turning.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTimer>

#include "LoopbackHttpServer.h"
#include "ScratchDirectory.h"
#include "linux/QtEventWait.h"
#include "platform/linux/update/ChildAppcastLoader.h"
#include "platform/linux/update/QtAppcastLoader.h"

namespace plinka {
namespace {

using ::testing::HasSubstr;
using testing::LoopbackHttpServer;
using ::testing::Optional;
using Answer = LoopbackHttpServer::Answer;

constexpr std::chrono::milliseconds kTimeout{3000};

const std::string kAppcast =
    testing::fileContents(PLINKA_SOURCE_DIR "/tests/update/data/appcast.xml");

// One fetch run to its end on the event loop, with the longest pause of the main thread.
struct Fetched {
    std::optional<AppcastLoader::Result> result;
    std::chrono::milliseconds took{};
    std::chrono::milliseconds longestPause{};
};

Fetched fetch(AppcastLoader& loader, const std::string& url,
              const std::vector<AppcastLoader::QueryItem>& query = {}) {
    Fetched fetched;
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longestPause = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestPause = std::max(longestPause, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    ticker.start(5);
    loader.loadAppcast(url, query, [&](const AppcastLoader::Result& result) {
        fetched.result = result;
        fetched.took = std::chrono::milliseconds(clock.elapsed());
    });
    testing::processEventsUntil([&] { return fetched.result.has_value(); },
                                static_cast<int>(kTimeout.count()) + 5000);
    fetched.longestPause = std::chrono::milliseconds(longestPause);
    return fetched;
}

TEST(QtAppcastLoader, EveryFaultEndsTheFetchWithAFailureInTimeWhileTheMainThreadTurns) {
    struct Fault {
        std::string name;
        Answer answer;
        std::string body;
        int status;
        std::string failure;
    };
    const std::vector<Fault> faults = {
        {"silent server", Answer::Silence, "", 200, "no answer within 3000 ms"},
        {"redirect loop", Answer::RedirectToItself, "", 200, "Too many redirects"},
        {"50 MB declared", Answer::DeclaredHugeBody, "", 200, "larger than 1048576 bytes"},
        {"not RSS", Answer::Body, "<html><body>Moved</body></html>", 200, "not an RSS feed"},
        {"cut-off RSS", Answer::Body, "<rss><channel><item>", 200, "malformed appcast"},
        {"server error", Answer::Body, kAppcast, 500, "status 500"},
    };
    QtAppcastLoader loader(AppcastFetchLimits{kTimeout});
    auto expectQuietEnd = [](const Fetched& fetched, const std::string& name,
                             const std::string& failure) {
        ASSERT_TRUE(fetched.result) << name << ": no end";
        EXPECT_THAT(fetched.result->failure, Optional(HasSubstr(failure))) << name;
        EXPECT_THAT(fetched.result->items, ::testing::IsEmpty()) << name;
        EXPECT_LE(fetched.took, kTimeout + std::chrono::seconds(2)) << name;
        // A thread that waited on the network would stall for about the whole limit.
        EXPECT_LT(fetched.longestPause, kTimeout / 2) << name;
    };
    for (const Fault& fault : faults) {
        LoopbackHttpServer server;
        server.answer(fault.answer, fault.body, fault.status);
        expectQuietEnd(fetch(loader, server.url()), fault.name, fault.failure);
    }
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(testing::refusingPort()) + "/appcast.xml";
    expectQuietEnd(fetch(loader, refused), "refused", "refused");
    expectQuietEnd(fetch(loader, "http://plinka-test.invalid/appcast.xml"), "no network",
                   "fetching http://plinka-test.invalid/appcast.xml: ");
    expectQuietEnd(fetch(loader, "file:///etc/passwd"), "not http", "not an http or https URL");

    // A TLS server whose certificate is its own issuer.
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(
        QSslCertificate::fromPath(PLINKA_SOURCE_DIR "/tests/update/data/loopback-certificate.pem")
            .value(0));
    QFile key(PLINKA_SOURCE_DIR "/tests/update/data/loopback-key.pem");
    ASSERT_TRUE(key.open(QIODevice::ReadOnly));
    configuration.setPrivateKey(QSslKey(&key, QSsl::Ec));
    QSslServer tls;
    tls.setSslConfiguration(configuration);
    ASSERT_TRUE(tls.listen(QHostAddress::LocalHost));
    expectQuietEnd(fetch(loader, "https://127.0.0.1:" + std::to_string(tls.serverPort()) + "/"),
                   "invalid certificate", "certificate");
}

// The application's own loader runs plinka-appcast: the same query and items reach it, and the
// child's faults end the fetch like the network's.
TEST(ChildAppcastLoader, FetchesThroughPlinkaAppcastWithTheQueryPercentEncoded) {
    LoopbackHttpServer server;
    server.answer(Answer::Body, kAppcast);
    ChildAppcastLoader loader(PLINKA_BUNDLE_DIR "/Contents/MacOS/plinka-appcast");
    const Fetched fetched = fetch(loader, server.url("/appcast.xml?channel=beta"),
                                  {{"uuid", "5f0e"}, {"soundTheme", "Bubbles & Co+1 ü/?=#"}});
    ASSERT_TRUE(fetched.result);
    EXPECT_EQ(fetched.result->failure, std::nullopt);
    ASSERT_EQ(fetched.result->items.size(), 3u);
    EXPECT_EQ(fetched.result->items[0].versionString, "1.10");
    EXPECT_EQ(fetched.result->items[2].versionString, std::nullopt);
    const std::string target = server.targets().at(0);
    EXPECT_EQ(target.rfind("/appcast.xml?channel=beta&uuid=5f0e&soundTheme=", 0), 0u) << target;
    EXPECT_THAT(target, HasSubstr("Bubbles%20%26%20Co%2B1%20%C3%BC%2F%3F%3D%23"));

    // A version that would break into lines of its own stays the one item's.
    server.answer(Answer::Body,
                  R"(<rss xmlns:s="http://www.andymatuschak.org/xml-namespaces/sparkle">
        <channel><item><s:version>2.0
failure injected</s:version></item></channel></rss>)");
    const Fetched injected = fetch(loader, server.url());
    ASSERT_TRUE(injected.result);
    EXPECT_EQ(injected.result->failure, std::nullopt);
    ASSERT_EQ(injected.result->items.size(), 1u);
    EXPECT_EQ(injected.result->items[0].versionString, "2.0\\x0afailure injected");
}

// The cap holds however the body comes: a chunked gigabyte leaves plinka-appcast small.
TEST(ChildAppcastLoader, AChunkedGigabyteEndsAtTheCapWithoutFillingMemory) {
    LoopbackHttpServer server;
    server.answer(Answer::ChunkedGigabyte);
    QProcess child;
    child.start(PLINKA_BUNDLE_DIR "/Contents/MacOS/plinka-appcast",
                {QString::fromStdString(server.url())});
    ASSERT_TRUE(
        testing::processEventsUntil([&] { return child.state() == QProcess::NotRunning; }, 60000));
    EXPECT_THAT(child.readAllStandardOutput().toStdString(),
                HasSubstr("larger than 1048576 bytes"));
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(children.ru_maxrss, 64 * 1024) << "kB at the most";
}

TEST(ChildAppcastLoader, AChildThatHangsIsMissingOrTalksNonsenseIsAFailure) {
    testing::ScratchDirectory scratch;
    const std::string hangs = scratch.file("hangs"), talks = scratch.file("talks");
    testing::writeProgram(hangs, "#!/bin/sh\nexec sleep 30\n");
    testing::writeProgram(talks, "#!/bin/sh\necho '<html>'\n");
    const struct {
        std::string program, failure;
    } cases[] = {
        {hangs, "no answer within 500 ms"},
        {talks, "answered something else than an appcast"},
        {scratch.file("missing"), "cannot run"},
    };
    for (const auto& test : cases) {
        ChildAppcastLoader loader(test.program, std::chrono::milliseconds(500));
        const Fetched fetched = fetch(loader, "http://127.0.0.1/appcast.xml");
        ASSERT_TRUE(fetched.result) << test.program;
        EXPECT_THAT(fetched.result->failure, Optional(HasSubstr(test.failure)));
        EXPECT_TRUE(fetched.result->items.empty());
    }
}

}  // namespace
}  // namespace plinka

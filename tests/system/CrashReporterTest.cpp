#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "ScratchDirectory.h"
#include "doubles/FakeDesktop.h"
#include "doubles/FakePlatform.h"
#include "platform/linux/system/CrashHandler.h"
#include "platform/linux/system/DirectoryCrashReports.h"
#include "support/CrashReporter.h"

namespace plinka {
namespace {

namespace fs = std::filesystem;

TEST(CrashReporterTest, AFatalSignalLeavesAReportThatIsOfferedOnce) {
    testing::ScratchDirectory folder;
    const std::string directory = folder.file("state/Plinka/crashes");
    testing::FakePlatform fake;
    fake.bundle.info = Object::dictionary(
        {{Object::string("CFBundleName"), Object::string("Plinka")},
         {Object::string(std::string(kFeedbackEmailKey)), Object::string("feedback@example.org")}});
    testing::FakeDesktop desktop{fake.platform};
    auto& alerts = desktop.alerts;
    DirectoryCrashReports reports{directory};
    CrashReporter reporter{{reports, alerts, desktop.urls, desktop.information, fake.log}};
    EXPECT_FALSE(reporter.check());
    EXPECT_TRUE(alerts.shown.empty());

    // Each in a child process, which the signal still ends.
    for (const int signal : {SIGSEGV, SIGABRT}) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (CrashHandler::install(directory, "Plinka", "1.0 (100)")) {
                std::raise(signal);
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << ": " << status;
    }

    const auto found = reports.unofferedReports();
    ASSERT_EQ(found.size(), 2u);
    for (size_t i = 0; i < found.size(); ++i) {
        const std::string text = reports.contentsOfReport(found[i]).value_or("");
        EXPECT_NE(text.find(i == 0 ? "\nSignal: 11 (SIGSEGV)\n" : "\nSignal: 6 (SIGABRT)\n"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("\nVersion: 1.0 (100)\n"), std::string::npos) << text;
        const size_t backtrace = text.find("\nBacktrace:\n");
        ASSERT_NE(backtrace, std::string::npos) << text;
        EXPECT_GT(text.size(), backtrace + 20) << "frames follow: " << text;
    }
    EXPECT_TRUE(fs::path(found[0]).filename().string().starts_with("Plinka_"));

    EXPECT_TRUE(reporter.check());
    ASSERT_EQ(alerts.shown.size(), 1u);
    ASSERT_EQ(desktop.urls.opened.size(), 1u);
    const std::string& mail = desktop.urls.opened[0];
    EXPECT_TRUE(
        mail.starts_with("mailto:feedback@example.org?subject=Plinka%20crash%20report"
                         "&body=Process%3A%20Plinka%20%5B"))
        << mail;
    EXPECT_NE(mail.find("Signal%3A%2011%20%28SIGSEGV%29%0A"), std::string::npos);
    EXPECT_NE(mail.find("Signal%3A%206%20%28SIGABRT%29%0A"), std::string::npos);

    // Offered once: the next launch finds nothing new, and the reports are kept.
    EXPECT_FALSE(reporter.check());
    EXPECT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 2);

    // An alert the application's end closed unseen is no answer: the report is offered again.
    testing::writeFile(directory + "/Plinka_2.crash", "Signal: 7 (SIGBUS)\n");
    alerts.answered = false;
    EXPECT_TRUE(reporter.check());
    alerts.answered = true;
    EXPECT_TRUE(reporter.check());
    EXPECT_FALSE(reporter.check());
}

}  // namespace
}  // namespace plinka

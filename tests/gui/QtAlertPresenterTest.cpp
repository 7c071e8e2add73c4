// Alerts the application ends under, as it does at logout: closed by the quit, or opened once it
// is under way, they answer the alternate button and say nobody answered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "platform/linux/gui/QtAlertPresenter.h"

namespace plinka {
namespace {

TEST(QtAlertPresenter, AnAlertTheApplicationEndsUnderIsNoAnswer) {
    Alert alert;
    alert.messageText = "Move to Applications folder?";
    alert.defaultButton = "Move to Applications Folder";
    alert.alternateButton = "Do Not Move";
    alert.alternateButtonKeyEquivalent = "\033";
    QtAlertPresenter alerts;
    std::vector<std::pair<int, bool>> answers;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
        for (int i = 0; i < 2; ++i) {
            const int answer = alerts.runModal(alert);
            answers.emplace_back(answer, alerts.lastAlertAnswered());
        }
    });
    QApplication::exec();
    const std::vector<std::pair<int, bool>> unanswered(2, {NSAlertAlternateReturn, false});
    EXPECT_EQ(answers, unanswered);
}

}  // namespace
}  // namespace plinka

// Alerts as Qt draws them (offscreen): the help button keeps the box open, Escape is the
// alternate button, and long explanations wrap.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/linux/gui/QtAlertPresenter.h"

namespace plinka {
namespace {

class QtAlertPresenterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "plinka_gui_tests";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { application.reset(); }

    // Runs the alert and, once its box is up, the person's part.
    int run(const Alert& alert, const std::function<void(QMessageBox&)>& person) {
        QTimer::singleShot(0, [&person] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                ADD_FAILURE() << "no message box is up";
                QApplication::activeModalWidget()->close();
                return;
            }
            person(*box);
        });
        return QtAlertPresenter().runModal(alert);
    }

    static std::unique_ptr<QApplication> application;
};

std::unique_ptr<QApplication> QtAlertPresenterTest::application;

TEST_F(QtAlertPresenterTest, HelpKeepsTheBoxOpenEscapeIsTheAlternateAndTheTextWraps) {
    Alert alert;
    alert.messageText = "Accessibility Required";
    alert.defaultButton = "Grant Access and Quit";
    alert.alternateButton = "Quit";
    alert.informativeText =
        "A long explanation that goes on and on about keyboards, groups, devices, passwords and "
        "sessions, far wider than any alert should ever be on any screen.\n\nAnd a second one.";
    alert.showsHelp = true;
    alert.helpAnchor = "http://help.example.org/help/accessibility/linux.html";
    std::vector<std::string> helped;
    alert.alertShowHelp = [&helped](const Alert& shown) {
        helped.push_back(shown.helpAnchor);
        return true;
    };
    bool openAfterHelp = false;
    const int answer = run(alert, [&](QMessageBox& box) {
        EXPECT_EQ(box.defaultButton()->text().toStdString(), "Grant Access and Quit");
        const auto* explanation = box.findChild<QLabel*>("qt_msgbox_informativelabel");
        ASSERT_NE(explanation, nullptr);
        EXPECT_TRUE(explanation->wordWrap());
        EXPECT_LT(box.width(), explanation->fontMetrics().horizontalAdvance(explanation->text()));
        for (QAbstractButton* button : box.buttons()) {
            if (box.buttonRole(button) == QMessageBox::HelpRole) {
                button->click();
            }
        }
        openAfterHelp = box.isVisible();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
    });
    EXPECT_EQ(helped, std::vector<std::string>{alert.helpAnchor});
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(answer, NSAlertAlternateReturn);
}

}  // namespace
}  // namespace plinka

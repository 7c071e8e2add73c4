#include "platform/linux/gui/QtAlertPresenter.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace plinka {

namespace {

QMessageBox::Icon iconOf(AlertStyle style) {
    switch (style) {
        case AlertStyle::Critical:
            return QMessageBox::Critical;
        case AlertStyle::Informational:
            return QMessageBox::Information;
        case AlertStyle::Warning:
            break;
    }
    return QMessageBox::Warning;
}

// A button for a title that is there and not empty; nullptr otherwise.
QPushButton* addButton(QMessageBox& box, const std::optional<std::string>& title,
                       QMessageBox::ButtonRole role) {
    if (!title || title->empty()) {
        return nullptr;
    }
    return box.addButton(QString::fromStdString(*title), role);
}

// A help button (F1 too) that hands the alert to its delegate and leaves the box open: a message
// box closes on every button of its button box, so this one only reports its clicks to us.
void addHelpButton(QMessageBox& box, const Alert& alert) {
    QPushButton* help = box.addButton(QMessageBox::Help);
    help->setShortcut(QKeySequence::HelpContents);
    if (auto* buttons = box.findChild<QDialogButtonBox*>()) {
        QObject::disconnect(help, &QAbstractButton::clicked, buttons, nullptr);
    }
    QObject::connect(help, &QAbstractButton::clicked, &box, [&alert] {
        if (alert.alertShowHelp) {
            alert.alertShowHelp(alert);
        }
    });
}

// Notes the close that the application itself sends its windows as it quits; the window
// system's close, when the person closes the box, comes as a spontaneous event.
class CloseByQuitWatcher final : public QObject {
  public:
    bool closedByQuit() const { return closedByQuit_; }

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Close && !event->spontaneous()) {
            closedByQuit_ = true;
        }
        return false;
    }

  private:
    bool closedByQuit_ = false;
};

}  // namespace

int QtAlertPresenter::runModal(const Alert& alert) {
    bool suppressionChecked = alert.suppressionButtonChecked;
    return runModalWithSuppression(alert, suppressionChecked);
}

int QtAlertPresenter::runModalWithSuppression(const Alert& alert, bool& suppressionChecked) {
    QMessageBox box;
    box.setIcon(iconOf(alert.style));
    box.setWindowTitle(QString::fromStdString(alert.messageText));
    box.setText(QString::fromStdString(alert.messageText));
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    QPushButton* defaultButton =
        addButton(box, alert.defaultButton.value_or("OK"), QMessageBox::AcceptRole);
    QPushButton* alternateButton = addButton(box, alert.alternateButton, QMessageBox::RejectRole);
    QPushButton* otherButton = addButton(box, alert.otherButton, QMessageBox::ActionRole);
    box.setDefaultButton(defaultButton);
    if (alternateButton != nullptr && alert.alternateButtonKeyEquivalent == "\033") {
        box.setEscapeButton(alternateButton);
    }
    if (alert.showsHelp) {
        addHelpButton(box, alert);
    }
    if (alert.showsSuppressionButton) {
        auto* suppression = new QCheckBox(QObject::tr("Do not show this message again"));
        suppression->setChecked(alert.suppressionButtonChecked);
        box.setCheckBox(suppression);  // the box owns it
    }
    // Above the other windows once shown: on Wayland too, where only activation raises.
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });
    CloseByQuitWatcher watcher;
    box.installEventFilter(&watcher);
    box.exec();
    if (box.checkBox() != nullptr) {
        suppressionChecked = box.checkBox()->isChecked();
    }
    // Quitting closes the box as its escape button would, or, once under way, ends it at once
    // without a button: either way nobody answered.
    const QAbstractButton* clicked = box.clickedButton();
    answered_ = clicked != nullptr && !watcher.closedByQuit();
    if (!answered_ || clicked == alternateButton) {
        return NSAlertAlternateReturn;
    }
    if (clicked == otherButton) {
        return NSAlertOtherReturn;
    }
    return NSAlertDefaultReturn;
}

}  // namespace plinka

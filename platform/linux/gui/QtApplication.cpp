#include "platform/linux/gui/QtApplication.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/Bundle.h"

namespace plinka {

namespace {

// The bundle's value for the key, the user's language first.
QString infoString(const Bundle& bundle, std::string_view key) {
    for (const Object* dictionary : {&bundle.localizedInfoDictionary(), &bundle.infoDictionary()}) {
        if (const std::string* value = dictionary->objectForKey(key).stringValue()) {
            return QString::fromStdString(*value);
        }
    }
    return {};
}

}  // namespace

QtApplication::QtApplication(const Bundle& bundle, std::function<void()> showPreferences)
    : bundle_(bundle), showPreferences_(std::move(showPreferences)) {}

QtApplication::~QtApplication() = default;

void QtApplication::beep() {
    QApplication::beep();
}

void QtApplication::terminate() {
    terminating_ = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

void QtApplication::activateIgnoringOtherApps() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            window->raise();
            window->activateWindow();
        }
    }
}

void QtApplication::orderFrontStandardAboutPanel() {
    if (!about_) {
        about_ = std::make_unique<QDialog>();
        const QString name = infoString(bundle_, "CFBundleName");
        about_->setWindowTitle(QObject::tr("About %1").arg(name));
        auto* layout = new QVBoxLayout(about_.get());
        auto* title = new QLabel("<h2>" + name.toHtmlEscaped() + "</h2>");
        title->setAlignment(Qt::AlignCenter);
        layout->addWidget(title);
        const QString version = QObject::tr("Version %1 (%2)")
                                    .arg(infoString(bundle_, "CFBundleShortVersionString"),
                                         infoString(bundle_, "CFBundleVersion"));
        for (const QString& line : {version, infoString(bundle_, "NSHumanReadableCopyright")}) {
            auto* label = new QLabel(line);
            label->setAlignment(Qt::AlignCenter);
            label->setTextFormat(Qt::PlainText);
            layout->addWidget(label);
        }
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        QPushButton* preferences =
            buttons->addButton(QObject::tr("Preferences…"), QDialogButtonBox::ActionRole);
        preferences->setObjectName("aboutPreferencesButton");
        QObject::connect(preferences, &QPushButton::clicked, about_.get(), [this] {
            if (showPreferences_) {
                showPreferences_();
            }
        });
        QObject::connect(buttons, &QDialogButtonBox::rejected, about_.get(), &QDialog::close);
        layout->addWidget(buttons);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void QtApplication::raisePanelsAboveAllWindows() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QDialog*>(window) != nullptr && window->isVisible()) {
            window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            window->show();
        }
    }
}

}  // namespace plinka

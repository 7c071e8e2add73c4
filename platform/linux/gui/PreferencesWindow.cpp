#include "platform/linux/gui/PreferencesWindow.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QUiLoader>
#include <QWidget>

namespace plinka {

std::unique_ptr<PreferencesWindow> PreferencesWindow::load(const std::string& path, Actions actions,
                                                           std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QFile::ReadOnly)) {
        if (error) {
            *error = "cannot open " + path;
        }
        return nullptr;
    }
    QUiLoader loader;
    std::unique_ptr<QWidget> window(loader.load(&file));
    if (!window) {
        if (error) {
            *error = loader.errorString().toStdString();
        }
        return nullptr;
    }
    for (const char* name :
         {"showInMenuBarCheckBox", "startAtLoginCheckBox", "checkForUpdatesCheckBox",
          "loginItemsButton", "importSoundPackButton"}) {
        if (window->findChild<QWidget*>(name) == nullptr) {
            if (error) {
                *error = std::string("the interface file has no ") + name;
            }
            return nullptr;
        }
    }
    return std::make_unique<PreferencesWindow>(Loaded{}, std::move(window), std::move(actions));
}

PreferencesWindow::PreferencesWindow(Loaded, std::unique_ptr<QWidget> window, Actions actions)
    : window_(std::move(window)), actions_(std::move(actions)) {
    auto* icon = window_->findChild<QCheckBox*>("showInMenuBarCheckBox");
    auto* login = window_->findChild<QCheckBox*>("startAtLoginCheckBox");
    auto* updates = window_->findChild<QCheckBox*>("checkForUpdatesCheckBox");
    auto* loginItems = window_->findChild<QPushButton*>("loginItemsButton");
    // clicked, not toggled: only the person's clicks send actions, never refresh().
    QObject::connect(icon, &QCheckBox::clicked, window_.get(), [this] {
        actions_.toggleShowMenuBarIcon();
        refresh();
    });
    QObject::connect(updates, &QCheckBox::clicked, window_.get(), [this] {
        actions_.toggleCheckForUpdates();
        refresh();
    });
    QObject::connect(login, &QCheckBox::clicked, window_.get(), [this, login] {
        // The action reads the state the control showed before the click.
        actions_.toggleStartAtLogin(login->isChecked() ? 0 : 1);
        refresh();
    });
    QObject::connect(loginItems, &QPushButton::clicked, window_.get(),
                     [this] { actions_.showLoginItems(); });
    QObject::connect(window_->findChild<QPushButton*>("importSoundPackButton"),
                     &QPushButton::clicked, window_.get(), [this] { actions_.importSoundPack(); });
}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::refresh() {
    window_->findChild<QCheckBox*>("showInMenuBarCheckBox")
        ->setChecked(actions_.showsMenuBarIcon());
    window_->findChild<QCheckBox*>("checkForUpdatesCheckBox")
        ->setChecked(actions_.checksForUpdates());
    window_->findChild<QCheckBox*>("startAtLoginCheckBox")->setChecked(actions_.startsAtLogin());
}

void PreferencesWindow::show() {
    refresh();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

}  // namespace plinka

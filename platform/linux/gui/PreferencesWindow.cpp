#include "platform/linux/gui/PreferencesWindow.h"

#include <QCheckBox>
#include <QPushButton>
#include <QWidget>

#include "platform/linux/gui/UiFileLoader.h"

namespace plinka {
namespace {

// The window's buttons and what each one asks for; one more button is one more line.
struct Button {
    const char* name;
    std::function<void()> PreferencesWindow::Actions::*action;
};
constexpr Button kButtons[] = {
    {"loginItemsButton", &PreferencesWindow::Actions::showLoginItems},
    {"importSoundPackButton", &PreferencesWindow::Actions::importSoundPack},
};

constexpr const char* kCheckBoxes[] = {"showInMenuBarCheckBox", "startAtLoginCheckBox",
                                       "checkForUpdatesCheckBox"};

}  // namespace

std::unique_ptr<PreferencesWindow> PreferencesWindow::load(const std::string& path, Actions actions,
                                                           std::string* error) {
    QString reason;
    std::unique_ptr<QWidget> window = loadUiFile(QString::fromStdString(path), &reason);
    if (!window) {
        if (error) {
            *error = path + ": " + reason.toStdString();
        }
        return nullptr;
    }
    auto lacks = [error](const char* name, bool found) {
        if (!found && error) {
            *error = std::string("the interface file has no ") + name;
        }
        return !found;
    };
    for (const char* name : kCheckBoxes) {
        if (lacks(name, window->findChild<QCheckBox*>(name) != nullptr)) {
            return nullptr;
        }
    }
    for (const Button& button : kButtons) {
        if (lacks(button.name, window->findChild<QPushButton*>(button.name) != nullptr)) {
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
    for (const Button& button : kButtons) {
        QObject::connect(window_->findChild<QPushButton*>(button.name), &QPushButton::clicked,
                         window_.get(), [this, action = button.action] { (actions_.*action)(); });
    }
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

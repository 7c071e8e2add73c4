#include "platform/linux/gui/QtStatusBar.h"

#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "base/Menu.h"
#include "platform/Bundle.h"

namespace plinka {

namespace {

class QtStatusItem final : public StatusItem {
  public:
    QtStatusItem(const Bundle& bundle, double length, TrayAvailability& trays)
        : bundle_(bundle), length_(length), shown_(length > 1.0) {
        QObject::connect(&menuView_, &QMenu::aboutToShow, &menuView_, [this] { refill(); });
        if (trays.isAvailable()) {
            makeTrayIcon();
        } else {
            QObject::connect(&trays, &TrayAvailability::changed, &menuView_, [this, &trays] {
                if (trays.isAvailable() && !tray_) {
                    makeTrayIcon();
                }
            });
        }
    }

    double length() const override { return length_; }
    void setHighlightMode(bool /*highlight*/) override {}  // the tray highlights on its own
    void setImage(const std::string& imageName, bool /*isTemplate*/) override {
        // The artwork is drawn to read on light and dark panels alike.
        if (const auto path = bundle_.pathForResource(imageName, "png")) {
            // Read as PNG without detection, which would load every image plugin of Qt's.
            QImageReader reader(QString::fromStdString(*path), "png");
            reader.setAutoDetectImageFormat(false);
            icon_ = QIcon(QPixmap::fromImage(reader.read()));
        }
        if (const auto* name =
                bundle_.infoDictionary().objectForKey("CFBundleName").stringValue()) {
            toolTip_ = QString::fromStdString(*name);
        }
        hasImage_ = true;
        showTrayIcon();
    }
    void setMenu(std::shared_ptr<Menu> menu) override { menu_ = std::move(menu); }
    std::shared_ptr<Menu> menu() const override { return menu_; }
    void popUpStatusItemMenu(const std::shared_ptr<Menu>& menu) override {
        if (menu == menu_) {
            menuView_.popup(tray_ && tray_->isVisible() && !tray_->geometry().isEmpty()
                                ? tray_->geometry().bottomLeft()
                                : QCursor::pos());
        }
    }
    void hide() {
        shown_ = false;
        if (tray_) {
            tray_->hide();
        }
    }

  private:
    void makeTrayIcon() {
        tray_ = std::make_unique<QSystemTrayIcon>();
        tray_->setContextMenu(&menuView_);
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated, tray_.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger) {
                                 menuView_.popup(QCursor::pos());
                             }
                         });
        showTrayIcon();
    }
    void showTrayIcon() {
        if (tray_ && hasImage_) {
            tray_->setIcon(icon_);
            tray_->setToolTip(toolTip_);
            if (shown_) {
                tray_->show();
            }
        }
    }

    // Draws the menu model afresh; its delegate has just rebuilt it.
    void refill() {
        menuView_.clear();
        if (!menu_) {
            return;
        }
        menu_->menuWillOpen();
        const bool optionHeld = (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier) != 0;
        QAction* previous = nullptr;
        for (const MenuItem& item : menu_->items()) {
            if (item.separator) {
                previous = menuView_.addSeparator();
                continue;
            }
            QAction* action = menuView_.addAction(QString::fromStdString(item.title));
            action->setEnabled(static_cast<bool>(item.action));
            action->setCheckable(item.state == 1);
            action->setChecked(item.state == 1);
            if (item.action) {
                QObject::connect(action, &QAction::triggered, &menuView_,
                                 [item] { item.action(item); });
            }
            if (item.alternate) {
                action->setVisible(optionHeld);
                if (previous != nullptr && optionHeld) {
                    previous->setVisible(false);
                }
            }
            previous = action;
        }
    }

    const Bundle& bundle_;
    double length_;
    bool shown_;
    bool hasImage_ = false;
    QIcon icon_;
    QString toolTip_;
    std::shared_ptr<Menu> menu_;
    QMenu menuView_;
    std::unique_ptr<QSystemTrayIcon> tray_;  // made once the desktop has a tray
};

}  // namespace

std::unique_ptr<StatusItem> QtStatusBar::statusItemWithLength(double length) {
    return std::make_unique<QtStatusItem>(bundle_, length, trays_);
}

void QtStatusBar::removeStatusItem(StatusItem& item) {
    static_cast<QtStatusItem&>(item).hide();
}

}  // namespace plinka

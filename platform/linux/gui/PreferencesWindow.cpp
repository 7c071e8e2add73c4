#include "platform/linux/gui/PreferencesWindow.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "platform/Bundle.h"
#include "platform/PreferencesDelegate.h"
#include "platform/linux/gui/ShortcutRecorder.h"
#include "platform/linux/gui/SoundPackDialog.h"

namespace plinka {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// "a key that types ..." as a sentence.
QString sentence(const std::string& reason) {
    QString line = text(reason);
    if (!line.isEmpty()) {
        line[0] = line[0].toUpper();
    }
    return line + ".";
}

}  // namespace

class PreferencesWindow::Window final : public QDialog {
  public:
    Window(PreferencesDelegate& delegate, const Bundle& bundle) : delegate_(delegate) {
        setObjectName("PreferencesWindow");
        setWindowTitle(tr("Plinka Preferences"));
        if (const auto icon = bundle.pathForResource("Plinka", "png")) {
            setWindowIcon(QIcon(text(*icon)));
        }
        notice_->setObjectName("noTrayNotice");
        notice_->setWordWrap(true);
        notice_->hide();

        auto* columns = new QHBoxLayout;
        columns->addWidget(themesBox(), 1);
        auto* right = new QVBoxLayout;
        right->addWidget(soundBox());
        right->addWidget(generalBox());
        right->addStretch();
        columns->addLayout(right, 1);

        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(notice_);
        layout->addLayout(columns);
        layout->addWidget(buttons);
        delegate_.addPreferencesObserver([this] {
            if (isVisible()) {
                refresh();
            }
        });
    }

    void setNotice(const QString& notice) {
        notice_->setText(notice);
        notice_->setVisible(!notice.isEmpty());
    }

    // Shows what the delegate answers now; the controls' own signals stay quiet meanwhile.
    void refresh() {
        const QSignalBlocker blockThemes(themes_);
        QStringList names;
        for (const std::string& name : delegate_.themes()) {
            names << text(name);
        }
        QStringList shown;
        for (int row = 0; row < themes_->count(); ++row) {
            shown << themes_->item(row)->text();
        }
        if (names != shown) {
            themes_->clear();
            themes_->addItems(names);
        }
        const auto current = delegate_.theme();
        const auto found = themes_->findItems(text(current.value_or("")), Qt::MatchExactly);
        themes_->setCurrentItem(found.isEmpty() ? nullptr : found.front());
        removeButton_->setEnabled(current && delegate_.canRemoveTheme(*current));
        const bool importing = delegate_.isImportingSoundPack();
        importButton_->setEnabled(!importing);
        busy_->setVisible(importing);

        if (!volume_->isSliderDown()) {
            const QSignalBlocker blockVolume(volume_);
            volume_->setValue(static_cast<int>(std::lround(delegate_.volume() * 100)));
        }
        showVolume(volume_->value());
        shortcut_->setShortcutText(text(delegate_.muteShortcut()));
        for (const auto& [box, read] : checkBoxes_) {
            const QSignalBlocker blockBox(box);
            box->setChecked(read());
        }
        const QSignalBlocker blockPitch(pitch_);
        pitch_->setValue(delegate_.pitchVariation());
    }

  private:
    QGroupBox* themesBox() {
        auto* box = new QGroupBox(tr("Sound Theme"));
        themes_->setObjectName("themeList");
        connect(themes_, &QListWidget::currentTextChanged, this, [this](const QString& name) {
            if (!name.isEmpty()) {
                delegate_.setTheme(name.toStdString());
            }
        });
        auto* preview =
            button(tr("Previe&w"), "previewButton", [this] { delegate_.previewTheme(); });
        importButton_ = button(tr("&Import Sound Pack…"), "importSoundPackButton", [this] {
            if (const auto pack = askForSoundPack(this)) {
                delegate_.importSoundPack(*pack, splitRelease_->isChecked());
            }
        });
        removeButton_ = button(tr("&Remove…"), "removeThemeButton", [this] {
            if (const QListWidgetItem* item = themes_->currentItem()) {
                delegate_.removeTheme(item->text().toStdString());
            }
        });
        auto* folder = button(tr("Open Themes &Folder"), "openThemesFolderButton",
                              [this] { delegate_.openThemesFolder(); });
        auto* actions = new QVBoxLayout;
        for (QPushButton* each : {preview, importButton_, removeButton_, folder}) {
            actions->addWidget(each);
        }
        actions->addStretch();
        auto* list = new QHBoxLayout;
        list->addWidget(themes_, 1);
        list->addLayout(actions);

        auto* bar = new QProgressBar;
        bar->setRange(0, 0);  // busy: an import says nothing of how far it is
        auto* cancel = button(tr("Cancel"), "cancelImportButton",
                              [this] { delegate_.cancelSoundPackImport(); });
        busy_->setObjectName("importProgress");
        auto* busyRow = new QHBoxLayout(busy_);
        busyRow->setContentsMargins(0, 0, 0, 0);
        busyRow->addWidget(new QLabel(tr("Importing…")));
        busyRow->addWidget(bar, 1);
        busyRow->addWidget(cancel);

        // For packs whose keys have no release sound; asked at each import, never stored.
        splitRelease_->setObjectName("splitReleaseCheckBox");

        auto* layout = new QVBoxLayout(box);
        layout->addWidget(label(tr("&Themes:"), themes_));
        layout->addLayout(list);
        layout->addWidget(splitRelease_);
        layout->addWidget(busy_);
        return box;
    }

    QGroupBox* soundBox() {
        auto* box = new QGroupBox(tr("Sound"));
        auto* form = new QFormLayout(box);
        volume_->setObjectName("volumeSlider");
        volume_->setRange(0, 100);
        volume_->setPageStep(10);
        volume_->setTracking(false);  // stored once the slider is let go, not at every step
        connect(volume_, &QSlider::sliderMoved, this, [this](int value) { showVolume(value); });
        connect(volume_, &QSlider::valueChanged, this,
                [this](int value) { delegate_.setVolume(value / 100.0); });
        volumeText_->setMinimumWidth(volumeText_->fontMetrics().horizontalAdvance("100 %"));
        auto* volumeRow = new QHBoxLayout;
        volumeRow->addWidget(volume_, 1);
        volumeRow->addWidget(volumeText_);
        form->addRow(label(tr("&Volume:"), volume_), volumeRow);
        form->addRow(checkBox(
            tr("&Mute sounds"), "muteCheckBox", [this] { return delegate_.muted(); },
            [this](bool on) { delegate_.setMuted(on); }));

        shortcut_->setObjectName("muteShortcutRecorder");
        auto* off =
            button(tr("Turn Off"), "muteShortcutOffButton", [this] { record(std::nullopt); });
        auto* shortcutRow = new QHBoxLayout;
        shortcutRow->addWidget(shortcut_, 1);
        shortcutRow->addWidget(off);
        form->addRow(label(tr("Mute &shortcut:"), shortcut_), shortcutRow);
        refusal_->setObjectName("muteShortcutRefusal");
        refusal_->setWordWrap(true);
        refusal_->hide();
        form->addRow(refusal_);

        form->addRow(preference(tr("Play sounds for mouse butto&ns"), "playMouseSounds"));
        form->addRow(preference(tr("Stereo position by &key"), "stereoPosition"));
        pitch_->setObjectName("pitchVariation");
        pitch_->setRange(0, 100);
        pitch_->setSuffix(tr(" cents"));
        pitch_->setKeyboardTracking(false);
        connect(pitch_, &QSpinBox::valueChanged, this,
                [this](int cents) { delegate_.setPitchVariation(cents); });
        form->addRow(tr("&Pitch variation:"), pitch_);
        return box;
    }

    QGroupBox* generalBox() {
        auto* box = new QGroupBox(tr("General"));
        auto* layout = new QVBoxLayout(box);
        // The action toggles what is stored; the box then shows what the delegate answers.
        layout->addWidget(checkBox(
            tr("Show the icon in the pan&el"), "showInMenuBarCheckBox",
            [this] { return delegate_.boolPreference("showInMenuBar"); },
            [this](bool) { delegate_.toggleShowMenuBarIcon(); }));
        layout->addWidget(checkBox(
            tr("Start Plinka at lo&gin"), "startAtLoginCheckBox",
            [this] { return delegate_.startsAtLogin(); },
            // The action reads the state the control showed before the click.
            [this](bool on) { delegate_.toggleStartAtLogin(on ? 0 : 1); }));
        layout->addWidget(checkBox(
            tr("Check for &updates automatically"), "checkForUpdatesCheckBox",
            [this] { return delegate_.boolPreference("SUEnableAutomaticChecks"); },
            [this](bool) { delegate_.toggleCheckForUpdates(); }));
        layout->addWidget(button(tr("Open Startup &Applications…"), "loginItemsButton",
                                 [this] { delegate_.showLoginItems(); }));
        return box;
    }

    // A label whose mnemonic moves the focus to the control.
    static QLabel* label(const QString& title, QWidget* buddy) {
        auto* made = new QLabel(title);
        made->setBuddy(buddy);
        return made;
    }

    QPushButton* button(const QString& title, const char* name, std::function<void()> action) {
        auto* made = new QPushButton(title);
        made->setObjectName(name);
        made->setAutoDefault(false);
        connect(made, &QPushButton::clicked, this, std::move(action));
        return made;
    }

    QCheckBox* checkBox(const QString& title, const char* name, std::function<bool()> read,
                        std::function<void(bool)> write) {
        auto* box = new QCheckBox(title);
        box->setObjectName(name);
        // clicked, not toggled: only the person's clicks send, never refresh().
        connect(box, &QCheckBox::clicked, this, [this, write](bool on) {
            write(on);
            refresh();
        });
        checkBoxes_.emplace_back(box, std::move(read));
        return box;
    }

    QCheckBox* preference(const QString& title, const std::string& key) {
        return checkBox(
            title, (key + "CheckBox").c_str(),
            [this, key] { return delegate_.boolPreference(key); },
            [this, key](bool on) { delegate_.setBoolPreference(key, on); });
    }

    void record(const std::optional<KeyChord>& chord) {
        const auto refused = delegate_.setMuteShortcut(chord);
        refusal_->setText(refused ? sentence(*refused) : QString());
        refusal_->setVisible(refused.has_value());
        refresh();
    }

    void showVolume(int percent) { volumeText_->setText(tr("%1 %").arg(percent)); }

    PreferencesDelegate& delegate_;
    QLabel* notice_ = new QLabel(this);
    QListWidget* themes_ = new QListWidget;
    QPushButton* importButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QCheckBox* splitRelease_ =
        new QCheckBox(tr("On import, split each sound into press an&d release"));
    QWidget* busy_ = new QWidget;
    QSlider* volume_ = new QSlider(Qt::Horizontal);
    QLabel* volumeText_ = new QLabel;
    ShortcutRecorder* shortcut_ =
        new ShortcutRecorder([this](const KeyChord& chord) { record(chord); },
                             [this](bool listening) { delegate_.setRecordingShortcut(listening); });
    QLabel* refusal_ = new QLabel;
    QSpinBox* pitch_ = new QSpinBox;
    std::vector<std::pair<QCheckBox*, std::function<bool()>>> checkBoxes_;
};

PreferencesWindow::PreferencesWindow(PreferencesDelegate& delegate, const Bundle& bundle)
    : window_(std::make_unique<Window>(delegate, bundle)) {}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::show() {
    window_->refresh();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void PreferencesWindow::setNotice(const std::string& notice) {
    window_->setNotice(QString::fromStdString(notice));
}

QWidget& PreferencesWindow::window() {
    return *window_;
}

}  // namespace plinka

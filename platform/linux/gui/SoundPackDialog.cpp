#include "platform/linux/gui/SoundPackDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace plinka {

namespace {

// A file dialog that takes a folder as well as a file: Qt's dialogs pick either folders or
// files, and a pack comes as either. A folder chosen with the button is taken (a double click
// still opens it); a .zip, or a pack's config.json, is taken as a file is.
class PackDialog final : public QFileDialog {
  public:
    explicit PackDialog(QWidget* parent) : QFileDialog(parent, "Import Sound Pack") {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFile);
        setNameFilters({"Sound packs (*.zip config.json)", "All files (*)"});
        setLabelText(QFileDialog::Accept, "Import");
        setDirectory(QDir::homePath());
    }

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (chosen.size() == 1 && QFileInfo(chosen.front()).isDir()) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

}  // namespace

std::optional<std::string> askForSoundPack(QWidget* parent) {
    PackDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace plinka

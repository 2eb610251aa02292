#include "gui/FileDialogs.h"

#include <QFileDialog>

namespace pelmora::gui {

namespace {

// The one file the dialog answered with, or empty.
std::string Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? std::string() : files.front().toStdString();
}

void SetUpConfigDialog(QFileDialog& dialog) {
    dialog.setNameFilter(QString::fromUtf8(ConfigFileFilter));
    dialog.setDefaultSuffix(QString::fromUtf8(ConfigFileSuffix));
}

} // namespace

std::string FileDialogs::SaveConfigurationFile(QWidget* parent) {
    QFileDialog dialog(parent);
    SetUpConfigDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Asks before an existing file is replaced (on unless DontConfirmOverwrite).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    return Chosen(dialog);
}

std::string FileDialogs::OpenConfigurationFile(QWidget* parent) {
    QFileDialog dialog(parent);
    SetUpConfigDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Chosen(dialog);
}

std::string FileDialogs::ChooseDirectory(QWidget* parent, const std::string& current) {
    return QFileDialog::getExistingDirectory(parent, QString::fromUtf8(ChooseDirectoryTitle),
                                             QString::fromStdString(current))
        .toStdString();
}

} // namespace pelmora::gui

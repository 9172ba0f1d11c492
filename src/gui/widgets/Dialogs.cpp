#include "gui/widgets/Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace lw::gui {
namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ToQt(MessageButton button) {
    switch (button) {
    case MessageButton::Ok:
        return QMessageBox::Ok;
    case MessageButton::Cancel:
        return QMessageBox::Cancel;
    case MessageButton::Yes:
        return QMessageBox::Yes;
    case MessageButton::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.initialPath, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // A filter reads as its description alone, "LW-Diff file (Version 2)", not with its mask.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

} // namespace

MessageButton QtDialogs::message(QWidget* parent, const MessageRequest& request) {
    QMessageBox box(ToQt(request.icon), request.title, request.text, QMessageBox::NoButton, parent);
    if (!request.detail.isEmpty())
        box.setInformativeText(request.detail);
    for (const MessageButton button : request.buttons)
        box.addButton(ToQt(button));
    box.exec();
    for (const MessageButton button : request.buttons)
        if (box.clickedButton() == box.button(ToQt(button)))
            return button;
    return request.buttons.empty() ? MessageButton::Ok : request.buttons.back();
}

std::optional<QString> QtDialogs::openFileName(QWidget* parent, const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString FolderOf(const QString& filePath) {
    if (filePath.isEmpty())
        return {};
    return QFileInfo(filePath).absolutePath();
}

std::optional<QString> QtDialogs::saveFileName(QWidget* parent, const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

void QtDialogs::showModal(QDialog& window) {
    window.exec();
}

} // namespace lw::gui

// The seam through which windows ask the user things: message boxes, file dialogs, texts to read
// and the modal showing of tool windows. Tests put a scripted implementation in its place.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QMessageBox;
class QWidget;

namespace lw::gui {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButton { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    std::vector<MessageButton> buttons{MessageButton::Ok};
    QString detail; // shown below the text, e.g. which file an error is about
};

struct FileDialogRequest {
    QString title;
    QString defaultSuffix; // without the dot
    QString filter;        // e.g. "Patch files (*.PAT);;All files (*)"
    QString initialPath;
    // Qt's save dialog only offers existing folders, and has no way to hide read-only files;
    // the flags are kept so that callers state what they ask for.
    bool hideReadOnly = false;
    bool pathMustExist = false;
    // Save dialogs only: ask before a chosen existing file is overwritten.
    bool confirmOverwrite = false;
};

// A report to read, one line of text each: a small window with a read-only monospace text and a
// "Close" button.
struct TextRequest {
    QString title;
    QStringList lines;
    QString textName; // the text's object name
};

// The box QtDialogs shows for a request. Its detail line (a file and its path) gets the room it
// needs on one line, and a box asked for before its parent is on the screen (the first-start
// question) opens in the middle of the screen instead of at the parent's unplaced corner.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const MessageRequest& request);
// The request's button that closed the box; the last one when it was dismissed otherwise.
MessageButton PressedButton(const QMessageBox& box, const MessageRequest& request);

// The window QtDialogs shows for a text request: resizable, centred over its parent's window when
// that is on the screen, else over the screen.
std::unique_ptr<QDialog> MakeTextWindow(QWidget* parent, const TextRequest& request);

// The folder a file dialog opens in for a file path (empty: the dialog's own choice).
QString FolderOf(const QString& filePath);

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a message box and returns the button pressed (the last button when dismissed).
    virtual MessageButton message(QWidget* parent, const MessageRequest& request) = 0;
    // A chosen file name, or nothing when the dialog was cancelled.
    virtual std::optional<QString> openFileName(QWidget* parent,
                                                const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent,
                                                const FileDialogRequest& request) = 0;
    // Shows the text modally and returns when it is closed.
    virtual void showText(QWidget* parent, const TextRequest& request) = 0;
    // Shows a tool window modally and returns when it is closed.
    virtual void showModal(QDialog& window) = 0;
};

// The real dialogs: QMessageBox, QFileDialog, the text window and QDialog::exec().
class QtDialogs final : public Dialogs {
public:
    MessageButton message(QWidget* parent, const MessageRequest& request) override;
    std::optional<QString> openFileName(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    void showText(QWidget* parent, const TextRequest& request) override;
    void showModal(QDialog& window) override;
};

} // namespace lw::gui

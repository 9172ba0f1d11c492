#include "gui/widgets/Dialogs.h"

#include "gui/widgets/WindowPlacement.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

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

bool IsOnScreen(const QWidget* widget) {
    return widget != nullptr && widget->window()->windowHandle() != nullptr &&
           widget->window()->windowHandle()->isExposed();
}

// The detail names a file with its whole path: wrapped at the box's narrow width it breaks into
// pieces that are hard to read, so it keeps one line, as far as the width QMessageBox lets a box
// grow to on that screen (about half of it, more on small screens) allows.
void GiveDetailRoom(QMessageBox& box, const QString& detail) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    if (label == nullptr)
        return;
    const int wanted = label->fontMetrics().horizontalAdvance(detail) + 2;
    const int room = std::min(ScreenOf(box).width() / 2 + 100, 900);
    label->setMinimumWidth(std::min(wanted, room));
}

// Over its parent's window, or over the screen when it has none. A window manager frames a
// window only after it showed, and until then a move places the window's inside: it is taken to
// get the frame its parent's window has.
void CentreAsShown(QWidget& shown) {
    const QRect screenArea = ScreenOf(shown);
    QSize frame = shown.frameGeometry().size();
    QPoint inside; // from the frame's corner to the window's
    QRect over = screenArea;
    if (const QWidget* parent = shown.parentWidget(); parent != nullptr) {
        const QWidget* window = parent->window();
        over = window->frameGeometry();
        if (frame == shown.size()) {
            frame += window->frameGeometry().size() - window->size();
            inside = window->geometry().topLeft() - window->frameGeometry().topLeft();
        }
    }
    shown.move(CentredOver(over, frame, screenArea) + inside);
}

// A window that takes its size only as it shows, after QDialog placed it by its earlier size (a
// QMessageBox does): it centres itself again then.
template <class Window> class CentredAsShown final : public Window {
public:
    using Window::Window;

protected:
    void showEvent(QShowEvent* event) override {
        Window::showEvent(event);
        CentreAsShown(*this);
    }
};

using CentredMessageBox = CentredAsShown<QMessageBox>;
using TextWindow = CentredAsShown<QDialog>;

constexpr QSize kTextWindowSize{640, 400};

} // namespace

std::unique_ptr<QDialog> MakeTextWindow(QWidget* parent, const TextRequest& request) {
    auto window = std::make_unique<TextWindow>(IsOnScreen(parent) ? parent : nullptr);
    window->setWindowTitle(request.title);
    window->setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(window.get());
    auto* text = new QPlainTextEdit(window.get());
    text->setObjectName(request.textName);
    text->setReadOnly(true);
    // The report's columns line up only in a font of one width.
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setPlainText(request.lines.join(QLatin1Char('\n')));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(window.get());
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::rejected, window.get(), &QDialog::reject);
    layout->addWidget(buttons);
    window->resize(kTextWindowSize);
    return window;
}

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const MessageRequest& request) {
    auto box = std::make_unique<CentredMessageBox>(ToQt(request.icon), request.title, request.text,
                                                   QMessageBox::NoButton,
                                                   IsOnScreen(parent) ? parent : nullptr);
    if (!request.detail.isEmpty()) {
        box->setInformativeText(request.detail);
        GiveDetailRoom(*box, request.detail);
    }
    for (const MessageButton button : request.buttons)
        box->addButton(ToQt(button));
    return box;
}

MessageButton PressedButton(const QMessageBox& box, const MessageRequest& request) {
    for (const MessageButton button : request.buttons)
        if (box.clickedButton() == box.button(ToQt(button)))
            return button;
    return request.buttons.empty() ? MessageButton::Ok : request.buttons.back();
}

MessageButton QtDialogs::message(QWidget* parent, const MessageRequest& request) {
    const std::unique_ptr<QMessageBox> box = MakeMessageBox(parent, request);
    box->exec();
    return PressedButton(*box, request);
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

void QtDialogs::showText(QWidget* parent, const TextRequest& request) {
    MakeTextWindow(parent, request)->exec();
}

void QtDialogs::showModal(QDialog& window) {
    window.exec();
}

} // namespace lw::gui

// A path field. A display-only (disabled) one shows a path too long for it with its middle left
// out, so that the drive or first folders and the file name both stay in view; its text, which
// the handlers read, is always the whole path, and so is its tooltip.
#pragma once

#include <QLineEdit>

namespace lw::gui {

class PathLineEdit final : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    // What the field shows: its text, or a display-only field's text shortened in the middle.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textArea() const;
};

} // namespace lw::gui

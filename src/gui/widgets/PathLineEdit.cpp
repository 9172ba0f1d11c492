#include "gui/widgets/PathLineEdit.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace lw::gui {
namespace {

// QLineEdit keeps this much room between its contents rectangle and the text.
constexpr int kTextMargin = 2;

} // namespace

QRect PathLineEdit::textArea() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
        .adjusted(kTextMargin, 0, -kTextMargin, 0);
}

QString PathLineEdit::shownText() const {
    if (isEnabled())
        return text();
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, textArea().width());
}

void PathLineEdit::paintEvent(QPaintEvent* event) {
    const QString shown = shownText();
    if (shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

} // namespace lw::gui

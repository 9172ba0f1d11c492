#include "gui/widgets/ProgressBar.h"

#include <QProgressBar>
#include <QStyleOptionProgressBar>
#include <QStylePainter>

namespace lw::gui {

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProgressBar::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
    update();
}

void ProgressBar::setValue(int value) {
    if (value == value_ || value < minimum_ || value > maximum_)
        return;
    value_ = value;
    update();
    emit valueChanged(value);
}

QSize ProgressBar::sizeHint() const {
    return {120, 16};
}
QSize ProgressBar::minimumSizeHint() const {
    return {20, 8};
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    option.initFrom(this);
    option.minimum = minimum_;
    option.maximum = maximum_;
    option.progress = value_;
    option.textVisible = false;
    option.state |= QStyle::State_Horizontal;
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

} // namespace lw::gui

#include "gui/widgets/UpDown.h"

#include "util/IntConv.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace lw::gui {
namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    button->setFixedWidth(14);
    return button;
}

} // namespace

UpDown::UpDown(QLineEdit& associate, int min, int max, QWidget* parent)
    : QWidget(parent), associate_(associate), up_(ArrowButton(Qt::UpArrow, this)),
      down_(ArrowButton(Qt::DownArrow, this)), min_(min), max_(max) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    setFixedHeight(associate.sizeHint().height());
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::step(int delta) {
    int value = position_;
    try {
        value = StrToInt(associate_.text().toStdString());
    } catch (const std::exception&) {
        // Text that is no number: step from the last position, as the field's buddy would.
    }
    const long long next = static_cast<long long>(value) + delta;
    position_ = static_cast<int>(std::max<long long>(min_, std::min<long long>(max_, next)));
    associate_.setText(QString::number(position_));
}

} // namespace lw::gui

// A spinner bound to a free-text edit field. Unlike QSpinBox the field accepts any text:
// the block fields must take "7000" or "abc" and let their handlers decide.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace lw::gui {

class UpDown final : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit& associate, int min, int max, QWidget* parent = nullptr);

    int min() const { return min_; }
    int max() const { return max_; }
    int position() const { return position_; }
    void setMin(int value) { min_ = value; }
    void setMax(int value) { max_ = value; }
    void setPosition(int value) { position_ = value; }
    QLineEdit& associate() const { return associate_; }

    // One step up or down from the field's value (its position if the text is no integer),
    // kept inside the limits; writes the new value into the field.
    void step(int delta);

private:
    QLineEdit& associate_;
    QToolButton* up_;
    QToolButton* down_;
    int min_, max_, position_ = 0;
};

} // namespace lw::gui

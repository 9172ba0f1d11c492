// A progress bar that repaints with the next round of events instead of at once: operations
// report hundreds of values in a millisecond, and QProgressBar would paint each of them.
#pragma once

#include <QWidget>

namespace lw::gui {

class ProgressBar final : public QWidget {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);

    int value() const { return value_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setRange(int minimum, int maximum);
    // A value outside the range is ignored, as QProgressBar does.
    void setValue(int value);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minimum_ = 0, maximum_ = 100, value_ = 0;
};

} // namespace lw::gui

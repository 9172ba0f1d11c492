#include "gui/widgets/FieldLeave.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace lw::gui {
namespace {

class LeaveWatch final : public QObject {
public:
    LeaveWatch(QLineEdit& field, std::function<void()> left)
        : QObject(&field), left_(std::move(left)) {
        field.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                left_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> left_;
};

} // namespace

void OnLeavingField(QLineEdit& field, std::function<void()> left) {
    new LeaveWatch(field, std::move(left));
}

} // namespace lw::gui

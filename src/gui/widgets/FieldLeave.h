// A field's exit handler: it runs when the focus goes from the field to another control, not when
// the window itself loses the focus to a message box or another program.
#pragma once

#include <functional>

class QLineEdit;

namespace lw::gui {

void OnLeavingField(QLineEdit& field, std::function<void()> left);

} // namespace lw::gui

// The fill/clear window: clears the statics and fills the terrain of a rectangle.
#pragma once

#include "gui/widgets/ToolWindow.h"

namespace lw {

struct WindowContext;

class FillClearWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    explicit FillClearWindow(WindowContext& context, QWidget* parent = nullptr);

private:
    WindowContext& context_;
};

} // namespace lw

// The texture selection window: a palette of tile groups beside the map editor.
#pragma once

#include "gui/widgets/ToolWindow.h"

namespace lw {

struct WindowContext;

class TexturePaletteWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    explicit TexturePaletteWindow(WindowContext& context, QWidget* parent = nullptr);

private:
    WindowContext& context_;
};

} // namespace lw

// The map editor: paints tiles and altitudes onto map0.mul cell by cell.
#pragma once

#include "gui/widgets/ToolWindow.h"

namespace lw {

struct WindowContext;

class MapEditorWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    explicit MapEditorWindow(WindowContext& context, QWidget* parent = nullptr);

private:
    WindowContext& context_;
};

} // namespace lw

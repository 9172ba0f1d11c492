// The two check boxes that choose the parts of the world files a tool works on, in their group
// box: "StaIdx0.mul + Statics0.mul" and "Map0.mul", both checked at first, one always checked.
#pragma once

#include "gui/models/WorldParts.h"

#include <QString>
#include <Qt>
#include <functional>

class QCheckBox;
class QGroupBox;
class QWidget;

namespace lw::gui {

struct PartBoxes {
    QGroupBox* group;
    QCheckBox* statics; // "StaticsCheckBox"
    QCheckBox* map;     // "MapCheckBox"

    WorldParts parts() const;
};

// After each click, once the boxes keep one part chosen (KeepOnePart), clicked() runs. The boxes
// stand side by side, or one above the other beside a column of buttons.
PartBoxes MakePartBoxes(const char* groupName, const QString& title, QWidget* parent,
                        std::function<void()> clicked = {},
                        Qt::Orientation orientation = Qt::Horizontal);

} // namespace lw::gui

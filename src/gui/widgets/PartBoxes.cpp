#include "gui/widgets/PartBoxes.h"

#include "gui/widgets/Controls.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGroupBox>

namespace lw::gui {

WorldParts PartBoxes::parts() const {
    return {statics->isChecked(), map->isChecked()};
}

PartBoxes MakePartBoxes(const char* groupName, const QString& title, QWidget* parent,
                        std::function<void()> clicked, Qt::Orientation orientation) {
    PartBoxes boxes;
    boxes.group = Named(new QGroupBox(title, parent), groupName);
    auto* layout = new QBoxLayout(orientation == Qt::Horizontal ? QBoxLayout::LeftToRight
                                                                : QBoxLayout::TopToBottom,
                                  boxes.group);
    layout->setContentsMargins(5, 0, 3, 2);
    layout->setSpacing(orientation == Qt::Horizontal ? 6 : 5);
    boxes.statics = Named(new QCheckBox(QStringLiteral("StaIdx0.mul + Statics0.mul"), boxes.group),
                          "StaticsCheckBox");
    boxes.map = Named(new QCheckBox(QStringLiteral("Map0.mul"), boxes.group), "MapCheckBox");
    for (QCheckBox* box : {boxes.statics, boxes.map}) {
        box->setChecked(true);
        // Stretched across a column, a box would take clicks only on its caption's part.
        layout->addWidget(box, 0, orientation == Qt::Vertical ? Qt::AlignLeft : Qt::Alignment());
    }
    layout->addStretch(1);

    const auto click = [boxes, clicked](WorldPart part) {
        const WorldParts kept = KeepOnePart(boxes.parts(), part);
        boxes.statics->setChecked(kept.statics);
        boxes.map->setChecked(kept.map);
        if (clicked)
            clicked();
    };
    QObject::connect(boxes.statics, &QCheckBox::clicked, boxes.group,
                     [click] { click(WorldPart::Statics); });
    QObject::connect(boxes.map, &QCheckBox::clicked, boxes.group,
                     [click] { click(WorldPart::Map); });
    return boxes;
}

} // namespace lw::gui

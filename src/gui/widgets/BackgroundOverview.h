// The map overview drawn on a thread of its own, so that the windows stay responsive while the
// whole map is read: the finished picture comes back to the window thread as a signal. Only one
// thread touches the overview at a time: the drawing thread while it draws, the window thread
// (cell updates after paints, the picture) otherwise.
#pragma once

#include "mapedit/CellPos.h"
#include "mapedit/MapOverview.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <thread>
#include <vector>

namespace lw::gui {

class BackgroundOverview final : public QObject {
    Q_OBJECT
public:
    explicit BackgroundOverview(QObject* parent = nullptr);
    ~BackgroundOverview() override;

    // Starts drawing the picture of request; a drawing under way is stopped first.
    void draw(OverviewRequest request);
    // Stops a drawing under way; the picture kept is then incomplete.
    void stop();
    bool drawing() const { return drawing_; }

    // Cells a paint changed: drawn again in the kept picture now, or once the drawing under way
    // has finished. Runs drawn() when it drew them.
    void redrawCells(std::span<const CellPos> cells);

    // The picture and whether it still shows the files as they are; only between drawings.
    bool isCurrent() const { return !drawing_ && overview_->isCurrent(); }
    const MapOverview& overview() const { return *overview_; }

signals:
    // A drawing finished, or cells were drawn again: the picture has changed.
    void drawn();
    // A drawing failed with this message; the picture is incomplete.
    void failed(const QString& message);

private:
    void finished(std::uint64_t generation, const QString& error);

    std::shared_ptr<MapOverview> overview_;
    std::jthread worker_;
    std::uint64_t generation_ = 0;
    bool drawing_ = false;
    std::vector<CellPos> pending_;
};

} // namespace lw::gui

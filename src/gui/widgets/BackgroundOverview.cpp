#include "gui/widgets/BackgroundOverview.h"

#include "gui/widgets/Guarded.h"

#include <QMetaObject>

namespace lw::gui {

BackgroundOverview::BackgroundOverview(QObject* parent)
    : QObject(parent), overview_(std::make_shared<MapOverview>()) {}

BackgroundOverview::~BackgroundOverview() {
    stop();
}

void BackgroundOverview::draw(OverviewRequest request) {
    stop();
    drawing_ = true;
    const std::uint64_t generation = ++generation_;
    worker_ = std::jthread([this, overview = overview_, request = std::move(request),
                            generation](std::stop_token stop) {
        QString error;
        try {
            overview->draw(request, stop);
        } catch (const std::exception& e) {
            error = MessageOf(e);
        }
        if (stop.stop_requested())
            return; // whoever stopped it has moved on
        QMetaObject::invokeMethod(
            this, [this, generation, error] { finished(generation, error); }, Qt::QueuedConnection);
    });
}

void BackgroundOverview::stop() {
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
    drawing_ = false;
    pending_.clear(); // the next drawing reads every cell anyway
}

void BackgroundOverview::finished(std::uint64_t generation, const QString& error) {
    if (generation != generation_ || !drawing_)
        return;
    // Its last step was to hand this over: it is ending, if not already gone.
    worker_.join();
    drawing_ = false;
    if (!error.isEmpty()) {
        pending_.clear();
        emit failed(error);
        return;
    }
    if (!pending_.empty()) {
        std::vector<CellPos> cells;
        cells.swap(pending_);
        try {
            overview_->redrawCells(cells);
        } catch (const std::exception& e) {
            emit failed(MessageOf(e));
            return;
        }
    }
    emit drawn();
}

void BackgroundOverview::redrawCells(std::span<const CellPos> cells) {
    if (drawing_) {
        pending_.insert(pending_.end(), cells.begin(), cells.end());
        return;
    }
    overview_->redrawCells(cells);
    emit drawn();
}

} // namespace lw::gui

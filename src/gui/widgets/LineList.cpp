#include "gui/widgets/LineList.h"

#include <QScrollBar>
#include <QTimer>

namespace lw::gui {

int LineModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant LineModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= lines_.size())
        return {};
    return lines_[index.row()];
}

void LineModel::append(const QStringList& lines) {
    if (lines.isEmpty())
        return;
    const int first = static_cast<int>(lines_.size());
    beginInsertRows({}, first, first + static_cast<int>(lines.size()) - 1);
    lines_.append(lines);
    endInsertRows();
}

void LineModel::clear() {
    beginResetModel();
    lines_.clear();
    endResetModel();
}

LineList::LineList(QWidget* parent) : QListView(parent) {
    setModel(&model_);
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void LineList::addLines(const QStringList& lines) {
    model_.append(lines);
}

void LineList::clear() {
    // A scroll asked for before the clearing belongs to the old lines.
    scrollPending_ = false;
    model_.clear();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

void LineList::scrollToEnd() {
    if (scrollPending_)
        return;
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] { scrollNow(); });
}

void LineList::scrollNow() {
    if (!scrollPending_)
        return;
    scrollPending_ = false;
    scrollToBottom();
}

} // namespace lw::gui

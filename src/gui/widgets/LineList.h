// A list box of text lines that stays fast with hundreds of thousands of lines: the lines live
// in a plain model, the view assumes one line height, and scrolling to the end after many
// appends is done once.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

namespace lw::gui {

class LineModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void append(const QStringList& lines);
    void clear();
    const QStringList& lines() const { return lines_; }

private:
    QStringList lines_;
};

class LineList final : public QListView {
    Q_OBJECT
public:
    explicit LineList(QWidget* parent = nullptr);

    void addLine(const QString& line) { addLines(QStringList{line}); }
    void addLines(const QStringList& lines);
    void clear();
    int count() const { return static_cast<int>(model_.lines().size()); }
    const QStringList& lines() const { return model_.lines(); }

    // Brings the last line into view, made the top line as far as the list can scroll. After
    // many appends in one go the view lays itself out once, not once per line.
    void scrollToEnd();

private:
    void scrollNow();

    LineModel model_;
    bool scrollPending_ = false;
};

} // namespace lw::gui

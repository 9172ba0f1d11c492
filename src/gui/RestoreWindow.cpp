#include "gui/RestoreWindow.h"

#include "gui/WindowContext.h"
#include "gui/WindowRestorePoint.h"
#include "gui/widgets/Controls.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lw {
namespace {

using gui::Named;

constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 360;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// "desktop program, main window" or the command line, with its time and operation.
QStringList Columns(const RestoreChoice& choice) {
    const StoredPoint& point = choice.places.front().point;
    const QString number = QString::number(choice.number);
    if (!point.entry)
        return {number, QStringLiteral("damaged"), Q(point.damage)};
    const RestoreEntry& entry = *point.entry;
    return {number, Q(entry.time), Q(entry.operation), Q(entry.commandLine),
            Q(KeptSizeText(choice.bytes()))};
}

} // namespace

RestoreWindow::RestoreWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context) {
    setObjectName("RestoreForm");
    setWindowTitle(QStringLiteral("Restore points"));
    // Resizable: the command lines and paths are long.
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
    setSizeGripEnabled(true);
    resize(kInitialWidth, kInitialHeight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(4);
    foldersLabel = Named(new QLabel(this), "RestoreFoldersLabel");
    foldersLabel->setWordWrap(true);
    foldersLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(foldersLabel);

    pointList = Named(new QTreeWidget(this), "RestorePointList");
    pointList->setHeaderLabels({QStringLiteral("No."), QStringLiteral("Time (UTC)"),
                                QStringLiteral("Operation"), QStringLiteral("Run from"),
                                QStringLiteral("Kept")});
    pointList->setRootIsDecorated(true);
    pointList->setUniformRowHeights(true);
    pointList->setAllColumnsShowFocus(true);
    pointList->header()->setStretchLastSection(false);
    pointList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pointList->header()->setSectionResizeMode(3, QHeaderView::Stretch);
    root->addWidget(pointList, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    restoreButton = Named(new QPushButton(QStringLiteral("Restore"), this), "RestoreButton");
    closeButton = Named(new QPushButton(QStringLiteral("Close"), this), "CloseButton");
    restoreButton->setAutoDefault(false);
    buttons->addWidget(restoreButton);
    buttons->addWidget(closeButton);
    root->addLayout(buttons);

    connect(restoreButton, &QPushButton::clicked, this, [this] { restoreClicked(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { close(); });
    connect(pointList, &QTreeWidget::itemSelectionChanged, this, [this] { updateRestoreButton(); });
    updateRestoreButton();
}

RestoreWindow::~RestoreWindow() = default;

void RestoreWindow::setFiles(const std::vector<std::string>& paths) {
    folders_ = FoldersOfPaths(paths);
}

void RestoreWindow::setCompanions(LogSink log,
                                  std::function<void(const std::vector<std::string>&)> restored) {
    log_ = std::move(log);
    restored_ = std::move(restored);
}

void RestoreWindow::showing() {
    listPoints();
}

void RestoreWindow::listPoints() {
    pointList->clear();
    choices_.clear();
    QStringList folders;
    for (const std::string& folder : folders_)
        folders.append(Q(folder));
    foldersLabel->setText(QStringLiteral("Restore points in ") +
                          folders.join(QStringLiteral(", ")));
    choices_ = RestoreChoicesOf(ListRestorePoints(folders_));
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        auto* item = new QTreeWidgetItem(pointList, Columns(choices_[i]));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        for (const std::string& line : choices_[i].fileLines()) {
            auto* file = new QTreeWidgetItem(item, {Q(line)});
            file->setFirstColumnSpanned(true);
            file->setFlags(file->flags() & ~Qt::ItemIsSelectable);
        }
    }
    if (choices_.empty()) {
        auto* none = new QTreeWidgetItem(pointList, {QStringLiteral("No restore points")});
        none->setFirstColumnSpanned(true);
        none->setFlags(Qt::ItemIsEnabled);
    } else {
        pointList->setCurrentItem(pointList->topLevelItem(0));
    }
    updateRestoreButton();
}

const RestoreChoice* RestoreWindow::selectedChoice() const {
    const QList<QTreeWidgetItem*> selected = pointList->selectedItems();
    if (selected.isEmpty() || selected.front()->parent() != nullptr)
        return nullptr;
    const QVariant index = selected.front()->data(0, Qt::UserRole);
    if (!index.isValid())
        return nullptr;
    return &choices_.at(static_cast<std::size_t>(index.toInt()));
}

void RestoreWindow::updateRestoreButton() {
    const RestoreChoice* choice = selectedChoice();
    restoreButton->setEnabled(choice != nullptr && choice->restorable());
}

void RestoreWindow::restoreClicked() {
    const RestoreChoice* selected = selectedChoice();
    if (selected == nullptr || !selected->restorable())
        return;
    const RestoreChoice choice = *selected;
    const gui::MessageRequest question{QStringLiteral("Restore?"),
                                       Q(RestoreQuestion(choice)),
                                       gui::MessageIcon::Question,
                                       {gui::MessageButton::Yes, gui::MessageButton::No},
                                       {}};
    if (dialogs_.message(this, question) != gui::MessageButton::Yes)
        return;
    runOperation([&] {
        {
            const WindowRestorePoint point(context_.settings, "restore", "Restore points", log_);
            RestoreFiles(choice.number, choice.folders(), log_);
        }
        if (restored_)
            restored_(choice.folders());
    });
    runGuarded([this] { listPoints(); });
}

} // namespace lw

// The restore window: the restore points of the folders of the current world and item files,
// newest first, and "Restore" to put the files of one back.
#pragma once

#include "gui/models/RestoreWindowModel.h"
#include "gui/widgets/ToolWindow.h"
#include "util/LogSink.h"

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace lw {

struct WindowContext;

class RestoreWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    RestoreWindow(WindowContext& context, QWidget* parent = nullptr);
    ~RestoreWindow() override;

    // Before each showing: the files whose folders it lists.
    void setFiles(const std::vector<std::string>& paths);
    // Where its lines go, and who hears of a restore (the folders whose files were put back).
    void setCompanions(LogSink log, std::function<void(const std::vector<std::string>&)> restored);

protected:
    void showing() override;

private:
    void listPoints();
    void restoreClicked();
    void updateRestoreButton();
    const RestoreChoice* selectedChoice() const;

    QLabel* foldersLabel;
    QTreeWidget* pointList;
    QPushButton* restoreButton;
    QPushButton* closeButton;

    WindowContext& context_;
    std::vector<std::string> folders_;
    std::vector<RestoreChoice> choices_;
    LogSink log_ = DiscardLog;
    std::function<void(const std::vector<std::string>&)> restored_;
};

} // namespace lw

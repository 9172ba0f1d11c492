// Where a long operation shows its steps, beside the main bar: a caption per stage and a bar of
// its own. The progress window is one; a window that runs such an operation knows only this.
#pragma once

#include <QString>

namespace lw::gui {

class StageDisplay {
public:
    virtual ~StageDisplay() = default;
    virtual void showStages() = 0;
    virtual void hideStages() = 0;
    virtual void setStage(const QString& caption) = 0;
    virtual void setStageProgress(int percent) = 0;
};

} // namespace lw::gui

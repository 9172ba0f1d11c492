// What the progress window shows: the caption of the stage under way and how far it is.
#pragma once

#include <string>
#include <string_view>

namespace lw {

inline constexpr std::string_view kProgressWaiting = "Working, please wait...";

class ProgressModel {
public:
    const std::string& stage() const { return stage_; }
    int percent() const { return percent_; }

    // A new stage starts at 0.
    void startStage(std::string_view caption) {
        stage_ = caption;
        percent_ = 0;
    }
    void setPercent(int percent) { percent_ = percent; }
    // Each showing starts over.
    void restart() { startStage(kProgressWaiting); }

private:
    std::string stage_{kProgressWaiting};
    int percent_ = 0;
};

} // namespace lw

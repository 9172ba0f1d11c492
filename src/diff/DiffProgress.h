// What a diff generation or application tells whoever watches it: the main progress bar through
// report(), and the progress window's step caption and bar through stage() and stageProgress().
#pragma once

#include "util/Progress.h"

#include <chrono>
#include <string>

namespace lw {

// report() comes with every step the main bar shows, in the map checksum once per block (393,216
// times, mostly the same value again), so it must be cheap; yield() comes at most every few
// milliseconds.
class DiffProgress : public Progress {
public:
    // A new step: the progress window shows the caption and its bar goes back to 0.
    virtual void stage(const std::string& caption) { (void)caption; }
    // The progress window's bar, 0-100.
    virtual void stageProgress(int percent) { (void)percent; }
};

class NullDiffProgress : public DiffProgress {
public:
    void report(int) override {}
};

// Passes every report and caption on as it comes, but lets the window system run at most every
// few milliseconds: the operations report per block column (or per block), which at the speed
// of the disk cache would otherwise mean tens of thousands of event loops a second.
class PacedProgress : public DiffProgress {
public:
    explicit PacedProgress(DiffProgress& target,
                           std::chrono::milliseconds interval = std::chrono::milliseconds(5))
        : target_(target), interval_(interval), last_(std::chrono::steady_clock::now()) {}

    void report(int percent) override { target_.report(percent); }
    void stage(const std::string& caption) override { target_.stage(caption); }
    void stageProgress(int percent) override { target_.stageProgress(percent); }
    void yield() override {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < interval_)
            return;
        last_ = now;
        target_.yield();
    }

private:
    DiffProgress& target_;
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_;
};

} // namespace lw

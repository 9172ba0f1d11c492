// How long operations report how far they are, and let the window system breathe.
#pragma once

namespace lw {

class Progress {
public:
    virtual ~Progress() = default;
    // A percentage 0-100.
    virtual void report(int percent) = 0;
    // Lets pending window messages run; the CLI's does nothing.
    virtual void yield() {}
};

class NullProgress : public Progress {
public:
    void report(int) override {}
};

} // namespace lw

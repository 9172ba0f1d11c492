// How melt and freeze change several files without losing an item: every new content is
// written and synced beside its file first, then the files are replaced one after another in an
// order where a process killed in between leaves items at worst in two places, never in none.
#pragma once

#include "util/File.h"
#include "util/Progress.h"
#include "util/SafeReplace.h"
#include "world/StaticIndex.h"

#include <memory>
#include <string>

namespace lw {

// Runs appended to statics0.mul in place; the file is cut back to its old size unless kept.
class StaticsAppend {
public:
    explicit StaticsAppend(const std::string& staticsPath);
    ~StaticsAppend();
    StaticsAppend(const StaticsAppend&) = delete;
    StaticsAppend& operator=(const StaticsAppend&) = delete;

    std::uint64_t oldSize() const { return oldSize_; }
    void write(const std::string& runs);
    // For a pass that appends run by run through its own writer: the file, positioned at its
    // old end. Call sync() once the writer is flushed.
    File& appendFile();
    void sync() { file_.sync(); }
    void keep() { kept_ = true; }

private:
    File file_;
    std::uint64_t oldSize_;
    bool written_ = false;
    bool kept_ = false;
};

// Puts the program-wide index back as it was unless released, so that after a failure it
// agrees with staidx0.mul.
class IndexRollback {
public:
    explicit IndexRollback(StaticIndexTable& table)
        : table_(table), saved_(std::make_unique<StaticIndexTable>(table)) {}
    ~IndexRollback() {
        if (saved_)
            table_ = *saved_;
    }
    IndexRollback(const IndexRollback&) = delete;
    IndexRollback& operator=(const IndexRollback&) = delete;

    const StaticIndexTable& saved() const { return *saved_; }
    void release() { saved_.reset(); }

private:
    StaticIndexTable& table_;
    std::unique_ptr<StaticIndexTable> saved_;
};

} // namespace lw

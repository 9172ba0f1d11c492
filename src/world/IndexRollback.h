// Puts the program-wide index back as it was unless released, so that after a failed operation
// it agrees with staidx0.mul on disk.
#pragma once

#include "world/StaticIndex.h"

#include <memory>

namespace lw {

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

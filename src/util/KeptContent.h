// The old content a commit replaced, handed on once the new content is in place and no journal
// names it any more: a restore point takes it there instead of letting it go.
#pragma once

#include "util/JournalFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lw {

// One target of a finished commit.
struct ReplacedTarget {
    std::string folder; // the real folder it lies in
    std::string name;   // its name there
    std::string kept;   // the name of its old content beside it; empty: there was none
    std::uint64_t oldSize = 0;
    FileVersion written; // what the target holds now; not present: the commit removed it
};

// A file the operation appended to in place, from oldSize on (its statics runs).
struct AppendedTarget {
    std::string path; // real path
    std::uint64_t oldSize = 0;
};

class OldContentKeeper {
public:
    virtual ~OldContentKeeper() = default;
    // Takes the kept files it keeps, clearing their kept names; what it leaves goes. The
    // operation is complete: nothing here may fail it.
    virtual void keep(std::vector<ReplacedTarget>& targets,
                      const std::vector<AppendedTarget>& appended) noexcept = 0;
};

// The keeper of the operation that runs on this thread while the scope lasts; without one, old
// content goes once it is replaced (a map editor's paint, a test).
class KeeperScope {
public:
    explicit KeeperScope(OldContentKeeper& keeper);
    ~KeeperScope();
    KeeperScope(const KeeperScope&) = delete;
    KeeperScope& operator=(const KeeperScope&) = delete;

    static OldContentKeeper* current();

private:
    OldContentKeeper* previous_;
};

} // namespace lw

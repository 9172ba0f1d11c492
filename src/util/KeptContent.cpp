#include "util/KeptContent.h"

namespace lw {
namespace {

thread_local OldContentKeeper* gKeeper = nullptr;

} // namespace

KeeperScope::KeeperScope(OldContentKeeper& keeper) : previous_(gKeeper) {
    gKeeper = &keeper;
}

KeeperScope::~KeeperScope() {
    gKeeper = previous_;
}

OldContentKeeper* KeeperScope::current() {
    return gKeeper;
}

} // namespace lw

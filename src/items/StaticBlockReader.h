// Reading the static records of many blocks with statics0.mul kept open for the whole pass.
#pragma once

#include "util/File.h"
#include "world/Records.h"

#include <optional>
#include <string>

namespace lw {

class StaticBlockReader {
public:
    explicit StaticBlockReader(std::string staticsPath) : path_(std::move(staticsPath)) {}
    // As ReadStaticBlock: nothing for an empty entry, the length checked before reading.
    void read(const StaticPointer& entry, TStaticBlock& block);

private:
    std::string path_;
    std::optional<File> file_;
};

} // namespace lw

// Safe replacement of an existing file: the new content is written beside it and put in place
// by a rename only when all of it is written and synced.
#pragma once

#include "util/File.h"

#include <functional>
#include <string>

namespace lw {

class ReplacementFile {
public:
    // Creates the temporary file in the target's folder.
    explicit ReplacementFile(std::string target);
    ~ReplacementFile(); // removes the temporary file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    File& file() { return file_; }
    const std::string& target() const { return target_; }
    const std::string& temporaryPath() const { return temp_; }

    // Syncs and closes the new content; may fail, nothing is replaced yet.
    void finish();
    // finish(), then renames the new content over the target.
    void commit();

private:
    std::string target_;
    std::string temp_;
    File file_;
    bool finished_ = false;
    bool committed_ = false;
};

// Replaces target with what write puts into the new file, or leaves it untouched on failure.
void ReplaceFile(const std::string& target, const std::function<void(File&)>& write);

} // namespace lw

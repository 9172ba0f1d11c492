// Safe replacement of an existing file: the new content is written beside it and put in place
// only when all of it is written and synced.
//
// What the user has stays as it is: a target that is a symbolic link is replaced at the file it
// points to (the new content is staged beside that file, the link stays a link); the new file
// gets the old one's permission bits and, where the process may set them, its owner and group.
// A target with more than one hard link cannot be renamed over without cutting it from its other
// names, so it is overwritten in place instead: its old content is first copied to a kept file
// and named in the journal (ReplacementJournal.h), and a failure or a killed run writes that
// copy back, which keeps the change all or nothing.
#pragma once

#include "util/File.h"
#include "util/JournalFile.h"

#include <functional>
#include <optional>
#include <string>

namespace lw {

class ReplacementFile {
public:
    // Creates the staged file (unique name, created exclusively) beside the real target.
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile(); // removes the staged file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    File& file() { return file_; }
    // The real file replaced: symbolic links followed.
    const std::string& target() const { return target_; }
    const std::string& temporaryPath() const { return temp_; }
    ReplaceMethod method() const { return method_; }
    // After finish(): the digest of the new content, when it was written in one pass from the
    // start (it was digested on the way); else nothing.
    const std::optional<std::uint64_t>& digest() const { return digest_; }

    // Syncs and closes the new content; may fail, nothing is replaced yet.
    void finish();
    // finish(), then puts the new content in place.
    void commit();

private:
    friend class ReplacementSet;
    std::string target_;
    ReplaceMethod method_ = ReplaceMethod::Rename;
    std::string temp_;
    File file_;
    std::optional<std::uint64_t> digest_;
    bool finished_ = false;
    bool committed_ = false;
};

// Replaces target with what write puts into the new file, or leaves it untouched on failure.
void ReplaceFile(const std::string& target, const std::function<void(File&)>& write);

} // namespace lw

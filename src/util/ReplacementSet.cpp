#include "util/ReplacementSet.h"

#include "util/Errors.h"
#include "util/File.h"

#include <memory>
#include <string>
#include <vector>

namespace lw {
namespace {

// A second name of the old file: the old content survives the rename over the target.
std::string LinkKeptName(const std::string& target) {
    for (int attempt = 0;; ++attempt) {
        const std::string kept = target + kKeptMarker + UniqueNamePart();
        try {
            LinkFile(target, kept);
            return kept;
        } catch (const IoError&) {
            if (!FileExists(kept) || attempt >= 20)
                throw;
        }
    }
}

// A synced copy of the old content, for a target that is overwritten in place.
std::string CopyKeptContent(const std::string& target) {
    std::string kept;
    File out = CreateUnique(target + kKeptMarker, kept);
    try {
        File in = File::OpenRead(target);
        std::vector<char> buffer(1 << 20);
        while (const std::size_t got = in.readSome(buffer.data(), buffer.size()))
            out.write(buffer.data(), got);
        in.close();
        out.sync();
        out.close();
    } catch (...) {
        RemoveFileQuietly(kept);
        throw;
    }
    return kept;
}

JournalEntry KeepOldContent(const ReplacementFile& file) {
    JournalEntry entry{file.method(), file.target(), file.temporaryPath(), {}};
    if (entry.method == ReplaceMethod::InPlace)
        entry.kept = CopyKeptContent(entry.target);
    else if (FileExists(entry.target))
        entry.kept = LinkKeptName(entry.target);
    return entry;
}

void Replace(const JournalEntry& entry) {
    if (entry.method == ReplaceMethod::InPlace)
        OverwriteInPlace(entry.staged, entry.target);
    else
        RenameFile(entry.staged, entry.target);
}

} // namespace

void ReplacementSet::commit() {
    for (ReplacementFile* file : files_)
        file->finish();
    if (files_.empty())
        return;
    if (files_.size() == 1 && files_.front()->method() == ReplaceMethod::Rename) {
        RenameFile(files_.front()->temporaryPath(), files_.front()->target());
        files_.front()->committed_ = true;
        try {
            SyncFolder(DirectoryOf(files_.front()->target()));
        } catch (const Error&) {
            // The rename is done; a folder that cannot be synced makes it no less so.
        }
        return;
    }

    std::vector<JournalEntry> entries;
    std::unique_ptr<ReplacementJournal> journal;
    try {
        for (const ReplacementFile* file : files_)
            entries.push_back(KeepOldContent(*file));
        journal = std::make_unique<ReplacementJournal>(entries);
    } catch (...) {
        for (const JournalEntry& entry : entries)
            if (!entry.kept.empty())
                RemoveFileQuietly(entry.kept);
        throw;
    }
    try {
        for (const JournalEntry& entry : entries)
            Replace(entry);
    } catch (const std::exception& e) {
        journal->rollBack(e.what());
        throw;
    }
    try {
        journal->finish();
    } catch (const std::exception& e) {
        journal->rollBack(e.what());
        throw;
    }
    for (ReplacementFile* file : files_)
        file->committed_ = true;
}

} // namespace lw

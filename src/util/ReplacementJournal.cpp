#include "util/ReplacementJournal.h"

#include "util/File.h"
#include "util/Text.h"

#include <set>

namespace lw {
namespace {

constexpr std::string_view kHeader = "Loamwright replacement journal 1";
constexpr std::string_view kEnd = "end";
constexpr std::string_view kRenameWord = "rename";
constexpr std::string_view kInPlaceWord = "in-place";

// Fields end with a NUL byte, the one byte no path holds.
std::string Encode(const std::vector<JournalEntry>& entries) {
    std::string text;
    const auto field = [&text](std::string_view value) {
        text += value;
        text += '\0';
    };
    field(kHeader);
    for (const JournalEntry& entry : entries) {
        field(entry.method == ReplaceMethod::InPlace ? kInPlaceWord : kRenameWord);
        field(entry.target);
        field(entry.staged);
        field(entry.kept);
    }
    field(kEnd);
    return text;
}

std::vector<JournalEntry> Decode(const std::string& text) {
    std::vector<std::string> fields;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\0', at);
        if (end == std::string::npos)
            return {}; // cut short
        fields.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    if (fields.size() < 2 || fields.front() != kHeader || fields.back() != kEnd ||
        (fields.size() - 2) % 4 != 0)
        return {};
    std::vector<JournalEntry> entries;
    for (std::size_t i = 1; i + 1 < fields.size(); i += 4) {
        JournalEntry& entry = entries.emplace_back();
        entry.method = fields[i] == kInPlaceWord ? ReplaceMethod::InPlace : ReplaceMethod::Rename;
        entry.target = fields[i + 1];
        entry.staged = fields[i + 2];
        entry.kept = fields[i + 3];
    }
    return entries;
}

bool Exists(const std::string& path) {
    return !path.empty() && FileExists(path);
}

// While the journal exists, a renamed target's staged name is gone and its kept name is there;
// a restored one has neither; an untouched one still has its staged name.
void Restore(const JournalEntry& entry) {
    if (entry.method == ReplaceMethod::InPlace) {
        // Whether the overwrite began cannot be seen, so the copy always goes back.
        if (!Exists(entry.kept))
            throw IoError(kIoFileNotFound);
        OverwriteInPlace(entry.kept, entry.target);
    } else if (!Exists(entry.staged)) {
        if (entry.kept.empty())
            RemoveFile(entry.target); // the operation created it
        else if (Exists(entry.kept))
            RenameFile(entry.kept, entry.target);
    }
}

std::string WhatItHolds(const JournalEntry& entry) {
    if (entry.method == ReplaceMethod::InPlace)
        return entry.target + " may hold part of its new content, its old content is in " +
               entry.kept;
    if (Exists(entry.staged))
        return entry.target +
               (entry.kept.empty() ? " is not there, as before" : " holds its old content");
    if (entry.kept.empty())
        return entry.target + " holds its new content (it did not exist before)";
    if (Exists(entry.kept))
        return entry.target + " holds its new content, its old content is in " + entry.kept;
    return entry.target + " holds its old content";
}

std::string UndoFailure(const std::string& lead, const std::vector<JournalEntry>& entries) {
    std::string text = lead + "; nothing more was changed. ";
    for (std::size_t i = 0; i < entries.size(); ++i)
        text += (i ? "; " : "") + WhatItHolds(entries[i]);
    return text + ". The next operation on these files puts the old content back.";
}

void SyncFoldersOf(const std::vector<JournalEntry>& entries) {
    std::set<std::string> folders;
    for (const JournalEntry& entry : entries)
        folders.insert(DirectoryOf(entry.target));
    for (const std::string& folder : folders)
        SyncFolder(folder);
}

void RemoveLeftovers(const std::vector<JournalEntry>& entries) noexcept {
    for (const JournalEntry& entry : entries) {
        RemoveFileQuietly(entry.staged);
        if (!entry.kept.empty())
            RemoveFileQuietly(entry.kept);
    }
}

// Restores last to first and stops at the first failure; on success the journal goes, then
// the leftovers.
void RollBackEntries(const std::string& journalPath, const std::vector<JournalEntry>& entries,
                     const std::string& failureLead) {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        try {
            Restore(*it);
        } catch (const std::exception& e) {
            throw UndoFailedError(
                UndoFailure(failureLead + " (" + it->target + ": " + e.what() + ")", entries));
        }
    }
    SyncFoldersOf(entries);
    RemoveFile(journalPath);
    SyncFolder(DirectoryOf(journalPath));
    RemoveLeftovers(entries);
}

} // namespace

ReplacementJournal::ReplacementJournal(std::vector<JournalEntry> entries)
    : entries_(std::move(entries)) {
    File file = CreateUnique(entries_.front().target + kJournalMarker, path_);
    try {
        const std::string text = Encode(entries_);
        file.write(text.data(), text.size());
        file.sync();
        file.close();
        SyncFolder(DirectoryOf(path_));
    } catch (...) {
        RemoveFileQuietly(path_);
        throw;
    }
}

void ReplacementJournal::finish() {
    SyncFoldersOf(entries_);
    RemoveFile(path_);
    SyncFolder(DirectoryOf(path_));
    RemoveLeftovers(entries_);
}

void ReplacementJournal::rollBack(const std::string& cause) {
    RollBackEntries(path_, entries_,
                    "The operation failed (" + cause + ") and could not be undone");
}

std::vector<std::string> FindJournals(const std::string& folder) {
    std::vector<std::string> journals;
    for (const std::string& name : FolderEntries(folder))
        if (name.find(kJournalMarker) != std::string::npos)
            journals.push_back(JoinPath(folder, name));
    return journals;
}

std::vector<JournalEntry> ReadJournal(const std::string& journalPath) {
    File file = File::OpenRead(journalPath);
    std::string text(file.size(), '\0');
    text.resize(file.readSome(text.data(), text.size()));
    file.close();
    return Decode(text);
}

void RecoverJournal(const std::string& journalPath, const LogSink& log) {
    const std::vector<JournalEntry> entries = ReadJournal(journalPath);
    if (entries.empty()) {
        RemoveFile(journalPath); // written only in part: no step had begun
        return;
    }
    RollBackEntries(journalPath, entries, "An interrupted operation could not be undone");
    std::string targets;
    for (const JournalEntry& entry : entries)
        targets += (targets.empty() ? "" : ", ") + entry.target;
    log("Recovered an interrupted operation: " + targets +
        (entries.size() == 1 ? " holds" : " hold") + " the content from before it again.");
}

std::vector<std::string> RemoveStaleReplacementFiles(const std::string& target) {
    const std::string folder = DirectoryOf(target);
    const std::string name = NameOf(target);
    std::vector<std::string> removed;
    for (const std::string& entry : FolderEntries(folder))
        if (StartsWith(entry, name + kStagedMarker) || StartsWith(entry, name + kKeptMarker)) {
            RemoveFile(JoinPath(folder, entry));
            removed.push_back(JoinPath(folder, entry));
        }
    return removed;
}

} // namespace lw

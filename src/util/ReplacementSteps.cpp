#include "util/ReplacementSteps.h"

#include "util/ContentDigest.h"
#include "util/FileSeams.h"
#include "util/TempNames.h"

#include <vector>

namespace lw {
namespace {

// A synced copy of the old content, whose digest is taken on the way.
void CopyWithDigest(const std::string& from, const std::string& prefix, std::string& copy,
                    FileVersion& version) {
    File out = CreateUnique(prefix, copy);
    try {
        File in = File::OpenRead(from);
        const auto stamp = StampOf(from);
        std::vector<char> buffer(std::size_t{1} << 20);
        ContentDigest digest;
        std::uint64_t size = 0;
        while (const std::size_t got = in.readSome(buffer.data(), buffer.size())) {
            digest.add(buffer.data(), got);
            out.write(buffer.data(), got);
            size += got;
        }
        in.close();
        out.sync();
        out.close();
        version.present = true;
        version.size = size;
        version.digest = digest.value();
        version.stamp = stamp.value_or(FileStamp{});
    } catch (...) {
        RemoveFileQuietly(copy);
        throw;
    }
}

// A second name of the old file, or nothing where the file system has no hard links.
std::optional<std::string> LinkKept(const std::string& target) {
    for (int attempt = 0;; ++attempt) {
        const std::string kept = target + kKeptMarker + UniqueNamePart();
        try {
            if (!TryLinkFile(target, kept))
                return std::nullopt;
            return kept;
        } catch (const IoError&) {
            if (!FileExists(kept) || attempt >= 20)
                throw;
        }
    }
}

} // namespace

FileVersion VersionOf(const std::string& path) {
    FileVersion version;
    const auto stamp = StampOf(path);
    if (!stamp)
        return version;
    version.present = true;
    version.stamp = *stamp;
    version.size = stamp->Size;
    version.digest = DigestOfFile(path);
    return version;
}

bool Holds(const std::string& path, const FileVersion& version,
           std::initializer_list<FileStamp> stamps) {
    const auto now = StampOf(path);
    if (!version.present)
        return !FileExists(path);
    if (!now || now->Size != version.size)
        return false;
    if (*now == version.stamp)
        return true;
    for (const FileStamp& stamp : stamps)
        if (*now == stamp)
            return true;
    try {
        return DigestOfFile(path) == version.digest && StampOf(path) == now;
    } catch (const IoError&) {
        return false;
    }
}

void KeepOldCopy(const std::string& folder, JournalEntry& entry) {
    file_seams::AtStep(FileFaults::Step::KeepOldCopy);
    const std::string target = JoinPath(folder, entry.target);
    if (!FileExists(target))
        return; // the operation makes it: nothing to keep
    std::string kept;
    std::optional<std::string> link;
    if (entry.method == ReplaceMethod::Rename)
        link = LinkKept(target);
    if (link) {
        kept = *link;
        try {
            entry.old = VersionOf(target);
        } catch (...) {
            RemoveFileQuietly(kept);
            throw;
        }
        entry.keptStamp = entry.old.stamp;
    } else {
        CopyWithDigest(target, target + kKeptMarker, kept, entry.old);
        entry.keptStamp = StampOf(kept).value_or(FileStamp{});
    }
    entry.kept = NameOf(kept);
}

void DisposeOfOldCopy(const std::string& folder, const JournalEntry& entry) noexcept {
    if (entry.kept.empty())
        return;
    try {
        file_seams::AtStep(FileFaults::Step::DisposeOfOldCopy);
    } catch (...) {
    }
    RemoveFileQuietly(JoinPath(folder, entry.kept));
}

bool PutInPlace(const std::string& folder, const JournalEntry& entry, const std::string& source,
                const std::optional<FileStamp>& expected) {
    const std::string from = JoinPath(folder, source);
    const std::string target = JoinPath(folder, entry.target);
    if (entry.method == ReplaceMethod::InPlace)
        return OverwriteInPlace(from, target, expected);
    return RenameOverExpected(from, target, expected);
}

} // namespace lw

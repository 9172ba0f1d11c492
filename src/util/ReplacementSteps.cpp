#include "util/ReplacementSteps.h"

#include "util/ContentDigest.h"
#include "util/FileSeams.h"
#include "util/TempNames.h"

#include <cstdlib>
#include <cstring>
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
    if (!version.digested)
        return false;
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
        // The second name is the old file itself: its identity says what it holds.
        kept = *link;
        const auto stamp = StampOf(kept);
        if (!stamp) {
            RemoveFileQuietly(kept);
            throw IoError(kIoFileNotFound, target);
        }
        entry.old = {true, stamp->Size, false, 0, *stamp};
        entry.keptStamp = *stamp;
    } else {
        CopyWithDigest(target, target + kKeptMarker, kept, entry.old);
        entry.keptStamp = StampOf(kept).value_or(FileStamp{});
    }
    entry.kept = NameOf(kept);
}

bool SameContent(const std::string& a, const std::string& b) {
    try {
        File x = File::OpenRead(a), y = File::OpenRead(b);
        if (x.size() != y.size())
            return false;
        std::vector<char> p(std::size_t{1} << 20), q(p.size());
        while (const std::size_t got = x.readSome(p.data(), p.size()))
            if (y.readSome(q.data(), got) != got || std::memcmp(p.data(), q.data(), got) != 0)
                return false;
        return true;
    } catch (const IoError&) {
        return false;
    }
}

bool KeptIsSound(const std::string& folder, const JournalEntry& entry) {
    if (!entry.old.present)
        return false;
    const std::string kept = JoinPath(folder, entry.kept);
    if (Holds(kept, entry.old, {entry.keptStamp}))
        return true;
    // A copy of the folder (cp -a, a zip file) keeps sizes and times, not identities.
    constexpr std::int64_t kTwoSeconds = 2'000'000'000; // the coarsest time a file system keeps
    const auto now = StampOf(kept);
    return !entry.old.digested && now && now->Size == entry.old.size &&
           std::llabs(now->ModifiedNs - entry.old.stamp.ModifiedNs) <= kTwoSeconds;
}

bool HoldsOld(const std::string& folder, const JournalEntry& entry) {
    const std::string target = JoinPath(folder, entry.target);
    if (!entry.old.present)
        return !FileExists(target);
    if (Holds(target, entry.old, {entry.keptStamp}))
        return true;
    return !entry.old.digested && KeptIsSound(folder, entry) &&
           SameContent(target, JoinPath(folder, entry.kept));
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

bool RemoveExpected(const std::string& target, const std::optional<FileStamp>& expected) {
    const auto now = StampOf(target);
    if (!expected)
        return !now;
    if (now != expected)
        return false;
    RemoveFile(target);
    return true;
}

} // namespace lw

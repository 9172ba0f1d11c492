#include "restore/RestorePoints.h"

#include "util/ContentDigest.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/Recovery.h"
#include "util/ReplacementSteps.h"
#include "util/TempNames.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace lw {
namespace {

constexpr const char* kEntryName = "entry";
constexpr std::uint64_t kMaxEntrySize = 1 << 20;

void RemovePointFolderQuietly(const std::string& path) noexcept {
    try {
        RemoveFolderOfOurs(path);
    } catch (...) {
    }
}

// A finished point goes under a name of its own first, so a kill part-way leaves no point that
// lacks some of its files.
void RemovePoint(const StoredPoint& point) {
    const std::string going = point.path + kKeptMarker + UniqueNamePart();
    RenameFile(point.path, going);
    RemoveFolderOfOurs(going);
}

std::string Now() {
    using namespace std::chrono;
    const auto seconds = floor<std::chrono::seconds>(system_clock::now()).time_since_epoch();
    const std::int64_t total = seconds.count();
    std::int64_t days = total / 86400, rest = total % 86400;
    // Civil date from days since 1970-01-01 (H. Hinnant's algorithm).
    days += 719468;
    const std::int64_t era = days / 146097, doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2);
    // Room for any value of the fields: the compiler checks the format against their types.
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                  static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return text;
}

std::uint64_t DigestOfRange(const std::string& path, std::uint64_t from, std::uint64_t to) {
    File file = File::OpenRead(path);
    file.seek(from);
    ContentDigest digest;
    std::vector<char> buffer(std::size_t{1} << 20);
    for (std::uint64_t left = to - from; left > 0;) {
        const std::size_t got = file.readSome(
            buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size())));
        if (got == 0)
            throw IoError(kIoReadPastEnd, path);
        digest.add(buffer.data(), got);
        left -= got;
    }
    file.close();
    return digest.value();
}

// The folders are not synced: a power cut may take a point's name or some of its files with it,
// which leaves the new files without a usable point (a restore then names what it lacks), never
// a world of two moments. The entry is synced, so a point found by its name reads whole.
void WriteEntry(const std::string& pointFolder, const RestoreEntry& entry) {
    const std::string text = EncodeRestoreEntry(entry);
    File file = File::CreateNew(JoinPath(pointFolder, kEntryName));
    file.write(text.data(), text.size());
    file.sync();
    file.close();
}

} // namespace

std::string RestoreFolderOf(const std::string& folder) {
    return JoinPath(JoinPath(folder, kProgramFolder), kRestoreFolder);
}

std::string PointFolderOf(const std::string& folder, std::uint64_t number) {
    return JoinPath(RestoreFolderOf(folder), std::to_string(number));
}

std::optional<StoredPoint> StoredPointOf(const std::string& folder, std::uint64_t number) {
    StoredPoint point;
    point.number = number;
    point.path = PointFolderOf(folder, number);
    const auto status = StatusOf(point.path);
    if (!status || !status->isFolder())
        return std::nullopt;
    const std::string entryPath = JoinPath(point.path, kEntryName);
    try {
        const auto size = StatusOf(entryPath);
        if (!size || !size->isRegular() || size->size > kMaxEntrySize)
            throw RestoreEntryError("The restore point entry " + entryPath +
                                    " is missing or damaged; that restore point cannot be used.");
        File file = File::OpenRead(entryPath);
        std::string bytes(static_cast<std::size_t>(file.size()), '\0');
        bytes.resize(file.readSome(bytes.data(), bytes.size()));
        file.close();
        RestoreEntry entry = DecodeRestoreEntry(bytes, entryPath);
        if (entry.number != number)
            throw RestoreEntryError("The restore point entry " + entryPath +
                                    " is damaged; that restore point cannot be used.");
        for (const RestoreFile& kept : entry.files)
            if (kept.kind == KeptKind::Replaced)
                point.bytes +=
                    StatusOf(JoinPath(point.path, kept.name)).value_or(FileStatus{}).size;
        point.entry = std::move(entry);
    } catch (const Error& e) {
        point.damage = e.what();
    }
    return point;
}

std::vector<StoredPoint> StoredPoints(const std::string& folder) {
    std::vector<std::string> names;
    try {
        names = FolderEntries(RestoreFolderOf(folder));
    } catch (const IoError&) {
        return {}; // none kept here yet
    }
    std::vector<StoredPoint> points;
    for (const std::string& name : names) {
        std::uint64_t number = 0;
        if (IsPointNumber(name, number))
            if (std::optional<StoredPoint> point = StoredPointOf(folder, number))
                points.push_back(std::move(*point));
    }
    std::sort(points.begin(), points.end(),
              [](const StoredPoint& a, const StoredPoint& b) { return a.number < b.number; });
    return points;
}

void RemoveUnfinishedPoints(const std::string& folder) {
    for (const std::string& point : UnfinishedRestorePoints(folder))
        RemoveFolderOfOurs(point);
}

RestorePointKeeper::RestorePointKeeper(RestoreSettings settings, LogSink log)
    : settings_(std::move(settings)), log_(std::move(log)) {}

void RestorePointKeeper::keep(std::vector<ReplacedTarget>& targets,
                              const std::vector<AppendedTarget>& appended) noexcept {
    if (settings_.limits.points <= 0)
        return;
    struct Part {
        std::string folder;
        std::vector<ReplacedTarget*> targets;
        std::vector<AppendedTarget> appended;
    };
    std::vector<Part> parts;
    const auto partOf = [&](const std::string& folder) -> Part& {
        for (Part& part : parts)
            if (IsSameFile(part.folder, folder))
                return part;
        return parts.emplace_back(Part{folder, {}, {}});
    };
    std::vector<std::string> made; // point folders, pending or finished
    std::uint64_t number = 0;
    try {
        for (ReplacedTarget& target : targets)
            partOf(target.folder).targets.push_back(&target);
        for (const AppendedTarget& file : appended) {
            const std::string real = ResolveLinks(file.path);
            partOf(DirectoryOf(real)).appended.push_back({real, file.oldSize});
        }
        std::uint64_t highest = 0;
        for (const Part& part : parts) {
            RemoveUnfinishedPoints(part.folder);
            for (const StoredPoint& point : StoredPoints(part.folder))
                highest = std::max(highest, point.number);
        }
        number = highest + 1;
        RestoreEntry entry;
        entry.number = number;
        entry.time = Now();
        entry.operation = settings_.operation;
        entry.commandLine = settings_.commandLine;
        entry.identity = RandomHex(kOperationIdLength);
        for (const Part& part : parts)
            entry.folders.push_back(part.folder);
        for (Part& part : parts) {
            MakeFolder(JoinPath(part.folder, kProgramFolder));
            MakeFolder(RestoreFolderOf(part.folder));
            const std::string pending =
                JoinPath(RestoreFolderOf(part.folder),
                         std::to_string(number) + kStagedMarker + UniqueNamePart());
            MakeFolder(pending);
            made.push_back(pending);
            entry.files.clear();
            for (ReplacedTarget* target : part.targets) {
                RestoreFile& file = entry.files.emplace_back();
                file.name = target->name;
                file.role = RoleOfFile(JoinPath(part.folder, target->name));
                file.kind = target->kept.empty() ? KeptKind::Created : KeptKind::Replaced;
                file.oldSize = target->oldSize;
                file.written = target->written;
                if (!target->kept.empty()) {
                    RenameFile(JoinPath(part.folder, target->kept), JoinPath(pending, file.name));
                    target->kept.clear();
                }
            }
            for (const AppendedTarget& grown : part.appended) {
                const std::string name = NameOf(grown.path);
                const auto now = StampOf(grown.path);
                if (!now || now->Size <= grown.oldSize ||
                    std::any_of(entry.files.begin(), entry.files.end(),
                                [&](const RestoreFile& f) { return f.name == name; }))
                    continue;
                RestoreFile& file = entry.files.emplace_back();
                file.name = name;
                file.role = RoleOfFile(grown.path);
                file.kind = KeptKind::Appended;
                file.oldSize = grown.oldSize;
                file.written = {true, now->Size, false, 0, *now};
                file.tail = DigestOfRange(grown.path, grown.oldSize, now->Size);
            }
            for (RestoreFile& file : entry.files)
                if (file.role.empty())
                    file.role = "file";
            WriteEntry(pending, entry);
            const std::string finished = PointFolderOf(part.folder, number);
            RenameFile(pending, finished);
            made.back() = finished;
        }
    } catch (const std::exception& e) {
        for (const std::string& path : made)
            RemovePointFolderQuietly(path);
        log_("No restore point was kept (" + std::string(e.what()) + ").");
        return;
    }
    kept_ = number;
    for (const Part& part : parts) {
        try {
            std::vector<StoredPoint> points = StoredPoints(part.folder);
            std::erase_if(points, [](const StoredPoint& p) { return !p.entry; });
            std::uint64_t bytes = 0;
            for (const StoredPoint& point : points)
                bytes += point.bytes;
            for (std::size_t oldest = 0;
                 oldest < points.size() &&
                 (points.size() - oldest > static_cast<std::size_t>(settings_.limits.points) ||
                  bytes > settings_.limits.bytes);
                 ++oldest) {
                RemovePoint(points[oldest]);
                bytes -= points[oldest].bytes;
            }
        } catch (const std::exception& e) {
            log_("The oldest restore points in " + part.folder + " could not be let go (" +
                 e.what() + ").");
        }
    }
}

} // namespace lw

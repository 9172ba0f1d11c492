#include "restore/Restore.h"

#include "util/ContentDigest.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "util/ReplacementSteps.h"

#include <algorithm>
#include <memory>

namespace lw {
namespace {

bool SameFolder(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    const auto sa = StatusOf(a), sb = StatusOf(b);
    return sa && sb && sa->sameFileAs(*sb);
}

std::string RealFolder(const std::string& folder) {
    const std::string real = ResolveLinks(folder);
    const auto status = StatusOf(real);
    if (!status)
        throw IoError(kIoFileNotFound, folder);
    if (!status->isFolder())
        throw IoError(kIoAccessDenied, folder, "it is not a folder");
    return real;
}

const char* KindText(KeptKind kind) {
    return kind == KeptKind::Replaced  ? "replaced"
           : kind == KeptKind::Created ? "made by the operation"
                                       : "appended to";
}

struct Part {
    std::string folder; // as given
    std::string real;
    StoredPoint point;
};

StoredPoint PointIn(const std::string& folder, const std::string& real, std::uint64_t number) {
    std::optional<StoredPoint> point = StoredPointOf(real, number);
    if (!point)
        throw Error("There is no restore point " + std::to_string(number) + " in " + folder +
                    " (\"restore --list\" shows those there are).");
    if (!point->entry)
        throw Error(point->damage);
    return std::move(*point);
}

std::vector<Part> PartsOf(std::uint64_t number, const std::vector<std::string>& folders) {
    std::vector<Part> parts;
    for (const std::string& folder : folders) {
        const std::string real = RealFolder(folder);
        if (std::none_of(parts.begin(), parts.end(),
                         [&](const Part& p) { return SameFolder(p.real, real); }))
            parts.push_back({folder, real, PointIn(folder, real, number)});
    }
    const RestoreEntry& first = *parts.front().point.entry;
    for (const Part& part : parts)
        if (part.point.entry->identity != first.identity)
            throw Error("Restore point " + std::to_string(number) + " in " + parts.front().folder +
                        " and in " + part.folder +
                        " were kept by two operations; restore each folder alone.");
    std::string missing;
    for (const std::string& wrote : first.folders)
        if (std::none_of(parts.begin(), parts.end(),
                         [&](const Part& p) { return SameFolder(p.real, wrote); }))
            missing += (missing.empty() ? "" : ", ") + wrote;
    if (first.folders.size() != parts.size())
        throw Error("Restore point " + std::to_string(number) + " also wrote " +
                    (missing.empty() ? std::string("a folder") : missing) +
                    ", which was not named: name every folder it wrote, or its files would no "
                    "longer fit together. Nothing was changed.");
    return parts;
}

bool HoldsAppended(const std::string& path, const RestoreFile& file) {
    const auto now = StampOf(path);
    if (!now || now->Size != file.written.size || now->Size < file.oldSize)
        return false;
    if (*now == file.written.stamp)
        return true;
    File in = File::OpenRead(path);
    in.seek(file.oldSize);
    ContentDigest digest;
    std::vector<char> buffer(std::size_t{1} << 20);
    while (const std::size_t got = in.readSome(buffer.data(), buffer.size()))
        digest.add(buffer.data(), got);
    in.close();
    return digest.value() == file.tail;
}

// The file as the last operation that kept a point here wrote it (a later point's operation is
// no change by another program); and a file the operation appended to still ends with what it
// appended, so cutting that off gives back what was there before.
void RequireUnchanged(const Part& part, const RestoreFile& file,
                      const std::vector<StoredPoint>& points) {
    const std::string path = JoinPath(part.real, file.name);
    const RestoreFile* latest = &file;
    std::uint64_t latestNumber = part.point.number;
    for (const StoredPoint& point : points)
        if (point.entry && point.number > part.point.number)
            for (const RestoreFile& later : point.entry->files)
                if (later.name == file.name) {
                    latest = &later;
                    latestNumber = point.number;
                }
    const bool same = !latest->written.present             ? !FileExists(path)
                      : latest->kind == KeptKind::Appended ? HoldsAppended(path, *latest)
                                                           : Holds(path, latest->written);
    if (!same)
        throw Error(path + " was changed since restore point " + std::to_string(latestNumber) +
                    " was kept, by another program: restoring would lose that change. Nothing "
                    "was changed.");
    if (file.kind == KeptKind::Appended && latest != &file && !HoldsAppended(path, file))
        throw Error(path + " no longer ends with what restore point " +
                    std::to_string(part.point.number) +
                    "'s operation appended to it; restore the later points first. Nothing was "
                    "changed.");
}

// Copies the first length bytes of from (all of it: nothing) into the new file.
void CopyInto(ReplacementFile& out, const std::string& from, std::optional<std::uint64_t> length,
              const std::string& damaged) {
    File in = File::OpenRead(from);
    std::vector<char> buffer(std::size_t{1} << 20);
    std::uint64_t copied = 0;
    const std::uint64_t want = length.value_or(in.size());
    while (copied < want) {
        const std::size_t got = in.readSome(
            buffer.data(),
            static_cast<std::size_t>(std::min<std::uint64_t>(want - copied, buffer.size())));
        if (got == 0)
            throw Error(damaged);
        out.file().write(buffer.data(), got);
        copied += got;
    }
    in.close();
}

} // namespace

std::vector<FolderPoints> ListRestorePoints(const std::vector<std::string>& folders) {
    std::vector<FolderPoints> listed;
    for (const std::string& folder : folders)
        listed.push_back({folder, StoredPoints(RealFolder(folder))});
    return listed;
}

std::string RestoreFileLine(const RestoreFile& file) {
    return file.role + "  " + file.name + "  " + std::to_string(file.oldSize) + " bytes before, " +
           (file.written.present ? std::to_string(file.written.size) : std::string("none")) +
           " after  (" + KindText(file.kind) + ")";
}

std::vector<std::string> RestoreListLines(const std::vector<FolderPoints>& listed) {
    std::vector<std::string> lines;
    for (const FolderPoints& folder : listed) {
        lines.push_back(folder.folder + ":");
        if (folder.points.empty())
            lines.push_back("  no restore points");
        for (const StoredPoint& point : folder.points) {
            if (!point.entry) {
                lines.push_back("  " + std::to_string(point.number) + "  damaged: " + point.damage);
                continue;
            }
            const RestoreEntry& entry = *point.entry;
            lines.push_back("  " + std::to_string(point.number) + "  " + entry.time + " UTC  " +
                            entry.operation + "  " + entry.commandLine);
            for (const RestoreFile& file : entry.files)
                lines.push_back("      " + RestoreFileLine(file));
        }
    }
    return lines;
}

void RestoreFiles(std::uint64_t number, const std::vector<std::string>& folders,
                  const LogSink& log) {
    if (folders.empty())
        throw Error("Name the folders of the restore point.");
    std::vector<Part> parts = PartsOf(number, folders);
    std::vector<DeclaredFile> declared;
    for (const Part& part : parts)
        for (const RestoreFile& file : part.point.entry->files) {
            const std::string path = JoinPath(part.real, file.name);
            const bool repeated =
                std::any_of(declared.begin(), declared.end(),
                            [&](const DeclaredFile& d) { return d.role == file.role; });
            declared.push_back(
                {repeated ? file.role + " " + path : file.role, path, FileUse::Write});
        }
    const OperationFiles files(declared, log);
    // Under the locks, as another run may have kept or let go points meanwhile.
    const std::vector<Part> checked = PartsOf(number, folders);
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (checked[i].point.entry->identity != parts[i].point.entry->identity ||
            checked[i].point.entry->files.size() != parts[i].point.entry->files.size())
            throw Error("The restore points in " + parts[i].folder +
                        " changed while the restore began; try again. Nothing was changed.");
    for (const Part& part : parts) {
        const std::vector<StoredPoint> points = StoredPoints(part.real);
        for (const RestoreFile& file : part.point.entry->files)
            RequireUnchanged(part, file, points);
    }

    // In the reverse of the order the operation wrote them: the reverse of an order that is safe
    // to stop in is safe for putting them back.
    std::vector<std::unique_ptr<ReplacementFile>> staged;
    ReplacementSet replacements;
    std::size_t at = declared.size();
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        const auto& kept = part->point.entry->files;
        for (auto file = kept.rbegin(); file != kept.rend(); ++file) {
            const std::string path = files.path(declared[--at].role);
            const std::string damaged = "The restore point " + part->point.path +
                                        " lacks part of " + file->name +
                                        "; it cannot be used. Nothing was changed.";
            if (file->kind == KeptKind::Created) {
                if (FileExists(path))
                    replacements.remove(path);
                continue;
            }
            auto out = std::make_unique<ReplacementFile>(path);
            if (file->kind == KeptKind::Replaced) {
                const std::string source = JoinPath(part->point.path, file->name);
                if (!IsRegularFile(source) || FileSizeOf(source) != file->oldSize)
                    throw Error(damaged);
                CopyInto(*out, source, std::nullopt, damaged);
            } else {
                CopyInto(*out, path, file->oldSize, damaged);
            }
            replacements.add(out.get());
            staged.push_back(std::move(out));
        }
    }
    replacements.commit();
    log("Restore point " + std::to_string(number) + " was put back.");
}

} // namespace lw

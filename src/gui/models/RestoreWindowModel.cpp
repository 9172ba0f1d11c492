#include "gui/models/RestoreWindowModel.h"

#include "util/File.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace lw {

std::vector<std::string> RestoreChoice::folders() const {
    std::vector<std::string> folders;
    for (const Place& place : places)
        folders.push_back(place.folder);
    return folders;
}

std::string RestoreChoice::heading() const {
    const StoredPoint& point = places.front().point;
    if (!point.entry)
        return std::to_string(number) + "  damaged: " + point.damage;
    const RestoreEntry& entry = *point.entry;
    return std::to_string(number) + "  " + entry.time + " UTC  " + entry.operation + "  " +
           entry.commandLine;
}

std::vector<std::string> RestoreChoice::fileLines() const {
    std::vector<std::string> lines;
    for (const Place& place : places)
        if (place.point.entry)
            for (const RestoreFile& file : place.point.entry->files)
                lines.push_back((places.size() > 1 ? place.folder + "  " : std::string()) +
                                RestoreFileLine(file));
    return lines;
}

std::uint64_t RestoreChoice::bytes() const {
    std::uint64_t total = 0;
    for (const Place& place : places)
        total += place.point.bytes;
    return total;
}

std::string KeptSizeText(std::uint64_t bytes) {
    if (bytes < 1024)
        return std::to_string(bytes) + " bytes";
    const char* const units[] = {"KiB", "MiB", "GiB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 2) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

std::vector<std::string> FoldersOfPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> folders;
    for (const std::string& path : paths) {
        if (path.empty())
            continue;
        const std::string folder = DirectoryOf(path);
        const bool known = std::any_of(folders.begin(), folders.end(),
                                       [&](const std::string& f) { return IsSameFile(f, folder); });
        if (!known)
            folders.push_back(folder);
    }
    return folders;
}

std::vector<RestoreChoice> RestoreChoicesOf(const std::vector<FolderPoints>& listed) {
    std::vector<RestoreChoice> choices;
    for (const FolderPoints& folder : listed)
        for (const StoredPoint& point : folder.points) {
            const auto same = std::find_if(choices.begin(), choices.end(), [&](const auto& c) {
                const StoredPoint& first = c.places.front().point;
                return c.number == point.number && first.entry && point.entry &&
                       first.entry->identity == point.entry->identity;
            });
            if (same != choices.end())
                same->places.push_back({folder.folder, point});
            else
                choices.push_back({point.number, {{folder.folder, point}}});
        }
    const auto newest = [](const RestoreChoice& c) {
        const StoredPoint& point = c.places.front().point;
        return std::tuple(point.entry ? point.entry->time : std::string(), c.number);
    };
    std::stable_sort(choices.begin(), choices.end(),
                     [&](const auto& a, const auto& b) { return newest(a) > newest(b); });
    return choices;
}

std::string RestoreQuestion(const RestoreChoice& choice) {
    const RestoreEntry& entry = *choice.places.front().point.entry;
    std::string folders;
    for (const std::string& folder : choice.folders())
        folders += "\n  " + folder;
    return "Put back the files the " + entry.operation + " of " + entry.time +
           " UTC replaced (restore point " + std::to_string(choice.number) + ") in:" + folders +
           "\n\nThe current files are kept as a restore point of their own, so this can be undone "
           "too.";
}

} // namespace lw

#include "gui/StartupRecovery.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/OperationFiles.h"

#include <set>
#include <string>

namespace lw {
namespace {

std::set<std::string> StoredFolders(const SettingsStore& settings) {
    std::vector<QString> paths;
    for (const QString& path : settings.loadMainSettings())
        paths.push_back(path);
    for (const QString& path : settings.loadFillClearSettings())
        paths.push_back(path);
    for (const QString& path : settings.loadDiffSettings())
        paths.push_back(path);
    paths.push_back(settings.loadMapEditSettings()[0]);
    std::set<std::string> folders;
    for (const QString& path : paths)
        if (!path.isEmpty()) {
            const std::string folder = DirectoryOf(ResolveLinks(path.toStdString()));
            const auto status = StatusOf(folder);
            if (status && status->isFolder())
                folders.insert(folder);
        }
    return folders;
}

} // namespace

void RecoverStoredFolders(const SettingsStore& settings, const LogSink& log) {
    std::set<std::string> folders;
    try {
        folders = StoredFolders(settings);
    } catch (const Error& e) {
        log(e.what());
    }
    for (const std::string& folder : folders) {
        try {
            RecoverInterruptedOperations({folder}, log);
        } catch (const Error& e) {
            log(e.what());
        }
    }
}

} // namespace lw

#include "items/CheckWorld.h"

#include "items/ItemFileCheck.h"
#include "util/File.h"
#include "util/OperationFiles.h"
#include "util/Recovery.h"
#include "world/FileRoles.h"

#include <algorithm>

namespace lw {
namespace {

std::vector<DeclaredFile> CheckedFiles(const WorldCheckRequest& request) {
    std::vector<DeclaredFile> files{{kStaticsIndexRole, request.StaIdxPath, FileUse::Read},
                                    {kStaticsFileRole, request.StaticsPath, FileUse::Read}};
    if (!request.MapPath.empty())
        files.push_back({kMapFileRole, request.MapPath, FileUse::Read});
    if (!request.ItemsPath.empty())
        files.push_back({kItemFileRole, request.ItemsPath, FileUse::Read});
    return files;
}

// Staged and kept files a run killed before its journal left beside the files read: a reader
// leaves them (the next operation that writes there removes them), so the check names them.
void NoteLeftoverFiles(const OperationFiles& files, const std::vector<DeclaredFile>& declared,
                       WorldCheckReport& report) {
    std::vector<std::string> folders;
    for (const DeclaredFile& file : declared) {
        const std::string folder = DirectoryOf(files.path(file.role));
        if (std::find(folders.begin(), folders.end(), folder) != folders.end())
            continue;
        folders.push_back(folder);
        for (const std::string& left : StaleReplacementFiles(folder))
            report.add({FindingKind::LeftoverFile, left, -1, -1, -1, 0,
                        left + " was left by an interrupted operation; the next operation that "
                               "writes in its folder removes it"});
    }
}

} // namespace

WorldCheckReport CheckWorld(const WorldCheckRequest& request, Progress& progress,
                            const LogSink& log) {
    const std::vector<DeclaredFile> declared = CheckedFiles(request);
    const OperationFiles files(declared, log);
    WorldCheckReport report;
    CheckWorldFiles(request, report, progress);
    NoteLeftoverFiles(files, declared, report);
    if (!request.ItemsPath.empty()) {
        try {
            files.requireText(kItemFileRole);
            CheckItemFile(request.ItemsPath, report);
        } catch (const IoError&) {
            throw;
        } catch (const Error& e) {
            report.ItemsPath = request.ItemsPath;
            report.add({FindingKind::RefusedSection, request.ItemsPath, -1, -1, -1, 0, e.what()});
        }
    }
    progress.report(100);
    return report;
}

} // namespace lw

#include "items/CheckWorld.h"

#include "items/ItemFileCheck.h"
#include "util/OperationFiles.h"
#include "world/FileRoles.h"

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

} // namespace

WorldCheckReport CheckWorld(const WorldCheckRequest& request, Progress& progress,
                            const LogSink& log) {
    const OperationFiles files(CheckedFiles(request), log);
    WorldCheckReport report;
    CheckWorldFiles(request, report, progress);
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

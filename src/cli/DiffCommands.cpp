// index-crc, diff-generate and diff-apply: the diff window's two actions and the "CRC value" of
// an index, for scripts.
#include "cli/Command.h"
#include "cli/RestorePointOptions.h"
#include "diff/ApplyDiff.h"
#include "diff/Checksums.h"
#include "diff/DiffMessages.h"
#include "diff/GenerateDiff.h"
#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "world/FileRoles.h"
#include "world/StaticIndex.h"

#include <memory>

namespace lw::cli {
namespace {

void AddWorldFileOptions(CLI::App* cmd, WorldFileSet& original, WorldFileSet& other,
                         const std::string& otherName) {
    cmd->add_option("--original-staidx", original.staidx, "original staidx0.mul")->required();
    cmd->add_option("--original-statics", original.statics, "original statics0.mul")->required();
    cmd->add_option("--original-map", original.map, "original map0.mul")->required();
    cmd->add_option("--staidx", other.staidx, otherName + " staidx0.mul")->required();
    cmd->add_option("--statics", other.statics, otherName + " statics0.mul")->required();
    cmd->add_option("--map", other.map, otherName + " map0.mul")->required();
}

void AddIndexCrcCommand(CLI::App& app) {
    auto staidx = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("index-crc", "Print the CRC value of a staidx0.mul");
    cmd->add_option("--staidx", *staidx, "staidx0.mul")->required();
    cmd->callback([staidx] {
        const OperationFiles files({{kStaticsIndexRole, *staidx, FileUse::Read}}, PrintNote);
        auto table = std::make_unique<StaticIndexTable>();
        NullProgress progress;
        ReadStaticIndex(*staidx, *table, progress);
        PrintLine(ChecksumText(IndexChecksum(*table)));
    });
}

void AddDiffGenerateCommand(CLI::App& app) {
    struct Options {
        WorldFileSet original, modified;
        std::string out;
        bool noStatics = false, noMap = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand("diff-generate", "Write the .lw2 diff of a modified world");
    AddWorldFileOptions(cmd, options->original, options->modified, "modified");
    cmd->add_option("--out", options->out, "the .lw2 file to write")->required();
    CLI::Option* noStatics =
        cmd->add_flag("--no-statics", options->noStatics, "leave the statics out of the diff");
    cmd->add_flag("--no-map", options->noMap, "leave the map out of the diff")->excludes(noStatics);
    cmd->callback([options] {
        // The window's save dialog adds the extension; a script's name could never be applied.
        if (!HasDiffExtension(options->out))
            throw Error("The diff file must end in \".lw2\", or it can never be applied: " +
                        options->out);
        NullDiffProgress progress;
        const GeneratedDiff generated =
            GenerateDiff(options->original, options->modified, options->out,
                         {!options->noStatics, !options->noMap}, progress, PrintLine);
        PrintLine(generated.message);
    });
}

void AddDiffApplyCommand(CLI::App& app) {
    struct Options {
        WorldFileSet original, target;
        std::string diff;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand("diff-apply", "Apply a .lw2 diff to the original world");
    AddWorldFileOptions(cmd, options->original, options->target, "target");
    cmd->add_option("--diff", options->diff, "the .lw2 file to apply")->required();
    const auto restore = AddRestorePointOptions(*cmd);
    cmd->callback([options, restore] {
        if (!HasDiffExtension(options->diff))
            throw Error(kLwdRefusal);
        const CommandRestorePoint point("diff-apply", *restore);
        NullDiffProgress progress;
        const AppliedDiff applied =
            ApplyDiff(options->original, options->target, options->diff, progress, PrintLine);
        if (!applied.applied)
            throw Error(applied.message);
    });
}

} // namespace

void AddDiffCommands(CLI::App& app) {
    AddIndexCrcCommand(app);
    AddDiffGenerateCommand(app);
    AddDiffApplyCommand(app);
}

} // namespace lw::cli

// check: reads a world through and reports its faults. Exit status 0 when it is sound, 1 when
// faults were found, 2 when a file cannot be read; --json prints the same as JSON.
#include "cli/Command.h"
#include "items/CheckWorld.h"
#include "world/WorldFileNames.h"

#include <memory>
#include <sstream>

namespace lw::cli {
namespace {

// A JSON string. Item files are 8-bit text: a byte that is not part of UTF-8 is taken as the
// Latin-1 letter it is in the emulators' files.
std::string Json(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80         ? 1
                             : (c >> 5) == 6  ? 2
                             : (c >> 4) == 14 ? 3
                             : (c >> 3) == 30 ? 4
                                              : 0;
        for (std::size_t k = 1; k < length; ++k)
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) >> 6) != 2)
                length = 0;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || length == 0) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out.append(text.substr(i, length));
            i += length - 1;
        }
    }
    return out + "\"";
}

std::string JsonList(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
        out += (i ? ", " : "") + Json(texts[i]);
    return out + "]";
}

std::string JsonFile(const std::string& path, std::uint64_t bytes, const std::string& more = {}) {
    return "{\"path\": " + Json(path) + ", \"bytes\": " + std::to_string(bytes) + more + "}";
}

std::string JsonFinding(const CheckFinding& f) {
    std::ostringstream out;
    out << "{\"kind\": " << Json(FindingKindName(f.Kind))
        << ", \"fault\": " << (IsFault(f.Kind) ? "true" : "false")
        << ", \"file\": " << Json(f.File);
    if (f.Block >= 0)
        out << ", \"block\": " << f.Block << ", \"blockX\": " << f.BlockX
            << ", \"blockY\": " << f.BlockY;
    if (f.Line > 0)
        out << ", \"line\": " << f.Line;
    out << ", \"text\": " << Json(f.Text) << "}";
    return out.str();
}

std::string JsonReport(const WorldCheckReport& r, const std::vector<std::string>& log) {
    const CheckFigures& f = r.Figures;
    std::ostringstream out;
    out << "{\n  \"sound\": " << (r.sound() ? "true" : "false") << ",\n  \"faults\": " << r.faults()
        << ",\n  \"result\": " << Json(WorldCheckResult(r))
        << ",\n  \"world\": {\"width\": " << r.World.width() << ", \"height\": " << r.World.height()
        << ", \"blocks\": " << r.World.blockCount()
        << "},\n  \"staidx\": " << JsonFile(r.StaIdxPath, f.IndexBytes) << ",\n  \"statics\": "
        << JsonFile(r.StaticsPath, f.StaticsBytes,
                    ", \"statics\": " + std::to_string(f.Statics) +
                        ", \"blocksWithStatics\": " + std::to_string(f.BlocksWithStatics) +
                        ", \"deadBytes\": " + std::to_string(f.DeadBytes) +
                        ", \"deadStretches\": " + std::to_string(f.DeadStretches));
    if (!r.MapPath.empty())
        out << ",\n  \"map\": "
            << JsonFile(r.MapPath, f.MapBytes,
                        IsMapContainerName(r.MapPath) ? ", \"container\": true" : "");
    if (!r.ItemsPath.empty())
        out << ",\n  \"items\": {\"path\": " << Json(r.ItemsPath)
            << ", \"worldItemSections\": " << f.ItemSections
            << ", \"freezableItems\": " << f.FreezableItems << "}";
    out << ",\n  \"counts\": {";
    for (int kind = 0; kind < kFindingKinds; ++kind)
        out << (kind ? ", " : "") << Json(FindingKindName(static_cast<FindingKind>(kind))) << ": "
            << r.Counts[kind];
    out << "},\n  \"findings\": [";
    for (std::size_t i = 0; i < r.Findings.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << JsonFinding(r.Findings[i]);
    out << (r.Findings.empty() ? "]" : "\n  ]") << ",\n  \"log\": " << JsonList(log) << "\n}";
    return out.str();
}

// A file that cannot be read: nothing to report, status 2.
[[noreturn]] void CannotRead(const CLI::App& app, const std::exception& e, bool json,
                             const std::vector<std::string>& log) {
    if (json)
        PrintLine("{\n  \"error\": " + Json(e.what()) + ",\n  \"log\": " + JsonList(log) + "\n}");
    std::cout.flush();
    if (const auto* io = dynamic_cast<const IoError*>(&e); io && !io->path().empty())
        std::cerr << FileLine(app, *io) << '\n';
    std::cerr << e.what() << std::endl;
    throw CLI::RuntimeError(2);
}

} // namespace

void AddCheckCommand(CLI::App& app) {
    struct Options {
        WorldCheckRequest request;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "check", "Read a world through and report its faults: status 0 sound, 1 faults found, 2 "
                 "a file cannot be read");
    cmd->add_option("--staidx", options->request.StaIdxPath, "staidx0.mul")->required();
    cmd->add_option("--statics", options->request.StaticsPath, "statics0.mul")->required();
    cmd->add_option("--map", options->request.MapPath, "map0.mul or map0LegacyMUL.uop");
    cmd->add_option("--items", options->request.ItemsPath, "the emulator item file");
    cmd->add_flag("--json", options->json, "print the report as JSON");
    cmd->callback([options, &app] {
        std::vector<std::string> log;
        const LogSink sink = [&](const std::string& line) {
            if (options->json)
                log.push_back(line);
            else
                PrintLine(line);
        };
        NullProgress progress;
        WorldCheckReport report;
        try {
            report = CheckWorld(options->request, progress, sink);
        } catch (const std::exception& e) {
            CannotRead(app, e, options->json, log);
        }
        if (options->json) {
            PrintLine(JsonReport(report, log));
        } else {
            for (const std::string& line : WorldCheckLines(report))
                PrintLine(line);
            if (report.sound())
                PrintLine(WorldCheckResult(report));
        }
        if (!report.sound())
            throw Error(WorldCheckResult(report));
    });
}

} // namespace lw::cli

#include "ReferenceOperations.h"

#include "items/InvalidTag.h"
#include "items/ItemLines.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/IntConv.h"
#include "util/SpacedHex.h"
#include "util/Text.h"
#include "world/Blocks.h"

#include <map>
#include <memory>

namespace lw::reference {
namespace {

std::string ReadAll(const std::string& path) {
    File file = File::OpenRead(path);
    std::string bytes(file.size(), '\0');
    file.readExact(bytes.data(), bytes.size());
    return bytes;
}

// Trimmed, non-empty lines up to an "EOF" line.
std::vector<std::string> ReadKeptLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string current;
    const std::string bytes = ReadAll(path) + "\n";
    for (char c : bytes) {
        if (c != '\r' && c != '\n') {
            current += c;
            continue;
        }
        const std::string line(Trim(current));
        current.clear();
        if (line.empty())
            continue;
        if (UpperCase(line) == "EOF")
            break;
        lines.push_back(line);
    }
    return lines;
}

struct Writer {
    std::string text;
    bool inBody = false;
    void raw(const std::string& line) { text += line + "\r\n"; }
    void normalised(const std::string& line) {
        if (line == "{") {
            raw(line);
            inBody = true;
        } else if (line == "}") {
            raw(line);
            raw("");
            inBody = false;
        } else {
            raw(inBody ? "\t" + line : line);
        }
    }
    void save(const std::string& path) {
        File file = File::Create(path);
        file.write(text.data(), text.size());
        file.close();
    }
};

std::int32_t Number(const std::string& headerLine) {
    return TagInt(Trim(std::string_view(headerLine).substr(17)));
}

void ScanHighest(const std::string& path, std::int32_t& number, std::int32_t& serial) {
    number = -1;
    serial = 0x40000000;
    for (const std::string& line : ReadKeptLines(path)) {
        const std::string upper = UpperCase(line);
        if (StartsWith(upper, "SECTION WORLDITEM"))
            number = std::max(number, Number(line));
        else if (HasTag(upper, "SERIAL"))
            serial = std::max(serial, TagInt(Trim(std::string_view(line).substr(6))));
    }
}

void AppendItems(const std::string& path, ItemFileStyle style, const TStaticBlock& block,
                 int blockX, int blockY, const LogSink& log) {
    if (block.Count == 0) {
        log("Nothing to do!");
        return;
    }
    std::int32_t number = 1, serial = 0x40000000;
    std::vector<std::string> lines;
    if (FileExists(path)) {
        ScanHighest(path, number, serial);
        log("  Highest number: " + std::to_string(number));
        log("  Highest serial: " + IntToSpacedHex(serial, 4));
        lines = ReadKeptLines(path);
    }
    if (number > 2147483647 - block.Count || serial > 2147483647 - block.Count)
        throw Error("No more items fit into " + path.substr(path.rfind('/') + 1) +
                    ": its highest number or serial would exceed 2147483647!");
    Writer out;
    for (const std::string& line : lines)
        out.normalised(line);
    for (int i = 0; i < block.Count; ++i) {
        const TStaticRec& r = block.Recs[i];
        out.raw("SECTION WORLDITEM " + std::to_string(++number));
        out.raw("{");
        out.raw("\tSERIAL " + std::to_string(++serial));
        out.raw("\tNAME #");
        out.raw("\tID " + std::to_string(r.ID));
        out.raw("\tX " + std::to_string(blockX * 8 + r.X));
        out.raw("\tY " + std::to_string(blockY * 8 + r.Y));
        out.raw("\tZ " + std::to_string(r.Z));
        out.raw("\tCOLOR " + std::to_string(r.Color));
        out.raw("\tCONT -1");
        out.raw("\tTYPE 255");
        out.raw("}");
        out.raw("");
    }
    if (style == ItemFileStyle::Uox3)
        out.raw("EOF");
    out.save(path);
}

// The selection by number, each number holding its sections in file order, so that one of two
// sections with the same number can be selected alone.
struct Occurrence {
    bool selected = false;
    int blockX = 0, blockY = 0;
};
using Selection = std::map<std::int32_t, std::vector<Occurrence>>;

Selection SelectionByNumber(const std::string& path, const ItemSelection& items) {
    Selection selection;
    std::vector<std::pair<std::int32_t, std::size_t>> headers;
    for (const std::string& line : ReadKeptLines(path))
        if (StartsWith(UpperCase(line), "SECTION WORLDITEM")) {
            const std::int32_t n = Number(line);
            headers.push_back({n, selection[n].size()});
            selection[n].push_back({});
        }
    for (const SelectedItem& item : items.Items) {
        const auto [n, k] = headers[static_cast<std::size_t>(item.Header)];
        selection[n][k] = {true, item.BlockX, item.BlockY};
    }
    return selection;
}

void ExtractBlockItems(const std::string& path, Selection& selection, int blockX, int blockY,
                       TStaticBlock& block, const LogSink& log) {
    if (!FileExists(path)) {
        log("Nothing to do!");
        return;
    }
    const std::vector<std::string> lines = ReadKeptLines(path);
    block.Count = 0;
    CurrentSection current = kNoSection;
    int id = 0, x = 0, y = 0, z = 0, color = 0;
    bool copying = true;
    std::map<std::int32_t, std::size_t> seen;
    std::vector<std::pair<std::int32_t, std::size_t>> extracted;
    Writer out;
    const auto value = [&](const std::string& line, std::size_t tag, int lo, int hi) {
        const std::int32_t v = TagInt(Trim(std::string_view(line).substr(tag)));
        if (v < lo || v > hi)
            throw InvalidTag(current);
        return v;
    };
    for (const std::string& line : lines) {
        const std::string u = UpperCase(line);
        if (StartsWith(u, "SECTION WORLDITEM")) {
            const std::int32_t n = Number(line);
            if (!IsItemNumber(n))
                throw InvalidTag(current);
            current = n;
            const std::size_t k = seen[n]++;
            const Occurrence& o = selection[n][k];
            copying = !(o.selected && o.blockX == blockX && o.blockY == blockY);
            if (!copying) {
                id = x = y = z = color = 0;
                extracted.push_back({n, k});
            }
        }
        if (StartsWith(u, "SECTION CHARACTER") || StartsWith(u, "SECTION GUILD"))
            copying = true;
        if (copying) {
            out.normalised(line);
        } else if (HasTag(u, "ID")) {
            id = value(line, 2, 0, 65535);
        } else if (HasTag(u, "X")) {
            x = value(line, 1, 0, 65535);
        } else if (HasTag(u, "Y")) {
            y = value(line, 1, 0, 65535);
        } else if (HasTag(u, "Z")) {
            z = value(line, 1, -128, 127);
        } else if (HasTag(u, "COLOR")) {
            color = value(line, 5, 0, 65535);
        } else if (line == "}") {
            if (block.Count == 2048)
                throw InvalidTag(current);
            block.Recs[block.Count++] = {
                static_cast<std::uint16_t>(id), static_cast<std::uint8_t>(x % 8),
                static_cast<std::uint8_t>(y % 8), static_cast<std::int8_t>(z),
                static_cast<std::uint16_t>(color)};
            copying = true;
        }
    }
    out.save(path);
    for (auto it = extracted.rbegin(); it != extracted.rend(); ++it) {
        auto& list = selection[it->first];
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(it->second));
    }
}

} // namespace

void MeltBlocks(ProgramState& state, const MeltRequest& request, const LogSink& log,
                Progress& progress) {
    progress.report(0);
    auto block = std::make_unique<TStaticBlock>();
    const BlockRange& range = request.range;
    for (int bx = range.FirstX; bx <= range.LastX; ++bx)
        for (int by = range.FirstY; by <= range.LastY; ++by) {
            log("Extracting from Statics... XBlock: " + std::to_string(bx) +
                " YBlock: " + std::to_string(by) + "   Appending to WSC...");
            if (!IsBlockInWorld(bx, by))
                throw RangeError();
            ReadStaticBlock(request.statics, state.StaticIndex.at(bx, by), *block);
            AppendItems(request.itemFile, request.style, *block, bx, by, log);
            state.StaticIndex.at(bx, by) = {-1, 0, 0};
        }
    log("Writing StaIdx file...");
    WriteStaticIndex(request.staidx, state.StaticIndex, progress);
    log("Done!");
    progress.report(100);
}

void FreezeItems(ProgramState& state, const FreezeRequest& request, const AutoSelectIDs& autoIds,
                 const LogSink& log, Progress& progress) {
    progress.report(0);
    Selection selection;
    if (FileExists(request.itemFile))
        selection =
            SelectionByNumber(request.itemFile, SelectItems(ReadAll(request.itemFile),
                                                            request.selection, autoIds, log));
    else
        log("Nothing to do!");
    std::vector<bool> flags(kBlockCount);
    int total = 0;
    for (const auto& [number, occurrences] : selection)
        for (const Occurrence& o : occurrences) {
            if (!o.selected)
                continue;
            if (o.blockX > 767 || o.blockY > 511)
                throw Error("Invalid item in patch file! (Item#: " + std::to_string(number) + ")");
            if (!flags[static_cast<std::size_t>(BlockNumber(o.blockX, o.blockY))])
                ++total;
            flags[static_cast<std::size_t>(BlockNumber(o.blockX, o.blockY))] = true;
        }
    auto extracted = std::make_unique<TStaticBlock>();
    auto current = std::make_unique<TStaticBlock>();
    int done = 0;
    for (int bx = 0; bx < 768; ++bx)
        for (int by = 0; by < 512; ++by) {
            if (!flags[static_cast<std::size_t>(BlockNumber(bx, by))])
                continue;
            log("Extracting from WSC... XBlock: " + std::to_string(bx) +
                " YBlock: " + std::to_string(by) + "   Appending to Statics...");
            extracted->Count = 0;
            ExtractBlockItems(request.itemFile, selection, bx, by, *extracted, log);
            ReadStaticBlock(request.statics, state.StaticIndex.at(bx, by), *current);
            MergeStaticBlocks(*current, *extracted);
            AppendStaticBlock(request.statics, state.StaticIndex.at(bx, by), *current);
            if (request.writePat) {
                log("Appending to PAT-File... XBlock: " + std::to_string(bx) +
                    " YBlock: " + std::to_string(by));
                AppendItems(request.patchFile, request.style, *extracted, bx, by, log);
            }
            ++done;
            progress.report(done * 90 / total);
        }
    log("Writing staidx file...");
    WriteStaticIndex(request.staidx, state.StaticIndex, progress);
    log("Done!");
    progress.report(100);
}

} // namespace lw::reference

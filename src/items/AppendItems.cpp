#include "items/AppendItems.h"

#include "items/ItemLines.h"
#include "items/NormalisedCopy.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/SpacedHex.h"

#include <limits>

namespace lw {
namespace {

constexpr std::int32_t kNewFileNumber = 1;
constexpr std::int32_t kNewFileSerial = 0x40000000;

void WriteItemBody(TextWriter& out, std::int32_t serial, std::uint16_t id, int x, int y, int z,
                   std::uint16_t color) {
    out.line("{");
    out.numberLine(true, "SERIAL ", serial);
    out.indentedLine("NAME #");
    out.numberLine(true, "ID ", id);
    out.numberLine(true, "X ", x);
    out.numberLine(true, "Y ", y);
    out.numberLine(true, "Z ", z);
    out.numberLine(true, "COLOR ", color);
    out.indentedLine("CONT -1");
    out.indentedLine("TYPE 255");
    out.line("}");
    out.line("");
}

std::string FileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FitsAfter(std::int32_t highest, std::size_t count) {
    return static_cast<long long>(highest) + static_cast<long long>(count) <=
           std::numeric_limits<std::int32_t>::max();
}

} // namespace

ItemAppender::ItemAppender(std::string path, ItemFileStyle style)
    : path_(std::move(path)), style_(style) {}

void ItemAppender::start() {
    existed_ = FileExists(path_);
    if (existed_) {
        old_ = ReadItemFile(path_);
        first_ = ScanHighestNumbers(std::string_view(old_));
    } else {
        first_ = {kNewFileNumber, kNewFileSerial};
    }
    highest_ = first_;
}

void ItemAppender::add(const TStaticBlock& block, int blockX, int blockY, const LogSink& log) {
    if (block.Count == 0) {
        log("Nothing to do!");
        return;
    }
    if (blocksAdded_ == 0)
        start();
    if (existed_ || blocksAdded_ > 0) {
        log("  Highest number: " + std::to_string(highest_.Number));
        log("  Highest serial: " + IntToSpacedHex(highest_.Serial, 4));
    }
    if (!FitsAfter(highest_.Number, block.Count) || !FitsAfter(highest_.Serial, block.Count))
        throw Error("No more items fit into " + FileName(path_) +
                    ": its highest number or serial would exceed 2147483647!");
    for (int i = 0; i < block.Count; ++i) {
        const TStaticRec& rec = block.Recs[i];
        items_.push_back({rec.ID, blockX * kTilesPerBlockSide + rec.X,
                          blockY * kTilesPerBlockSide + rec.Y, rec.Z, rec.Color});
    }
    highest_.Number += block.Count;
    highest_.Serial += block.Count;
    ++blocksAdded_;
}

std::unique_ptr<ReplacementFile> ItemAppender::stage() const {
    auto replacement = std::make_unique<ReplacementFile>(path_);
    TextWriter out(replacement->file());
    NormalisedCopy copy(out);
    ItemLineReader lines(old_);
    std::string_view line;
    while (lines.next(line))
        copy.copy(line);
    // Each append rewrites the file normalised, so when the old content ends inside an unclosed
    // body, a later append indents the header of the first item appended before it.
    const bool indentFirstHeader = copy.insideBody() && blocksAdded_ > 1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const NewItem& item = items_[i];
        const std::int32_t offset = static_cast<std::int32_t>(i) + 1;
        const std::string header = "SECTION WORLDITEM " + std::to_string(first_.Number + offset);
        if (i == 0 && indentFirstHeader)
            out.indentedLine(header);
        else
            out.line(header);
        WriteItemBody(out, first_.Serial + offset, item.ID, item.X, item.Y, item.Z, item.Color);
    }
    if (style_ == ItemFileStyle::Uox3)
        out.line("EOF");
    out.flush();
    replacement->finish();
    return replacement;
}

void AppendItems(const std::string& path, ItemFileStyle style, const TStaticBlock& block,
                 int blockX, int blockY, const LogSink& log) {
    ItemAppender appender(path, style);
    appender.add(block, blockX, blockY, log);
    if (appender.hasItems())
        appender.stage()->commit();
}

} // namespace lw

// The one reader and appender of static record runs in statics0.mul: every operation that reads
// a block's records or gives a block a new run goes through here, so the length checks and the
// 2 GiB limit of an index entry live in one place.
#pragma once

#include "util/File.h"
#include "util/FilePieces.h"
#include "world/Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lw {

// Checks an entry's length (a multiple of 7, at most what a block holds) and returns its
// record count.
int StaticRecordCount(const StaticPointer& entry);

// The entry of a run of length bytes placed at end, with Extra as given. Refuses a run that
// would end beyond the 2,147,483,647 bytes an index entry can point into.
StaticPointer PlaceStaticRun(std::uint64_t end, std::uint64_t length, std::uint32_t extra);

// A block's records straight from a statics0.mul kept open for a pass: none for Offset -1, the
// length checked before anything is read. Valid until the reader's next read.
std::string_view ReadStaticRecords(PieceReader& statics, const StaticPointer& entry);

// Appends the records and returns the entry that locates them (PlaceStaticRun's limit).
StaticPointer AppendStaticRecords(PieceWriter& statics, std::string_view records,
                                  std::uint32_t extra);

// Reads whole blocks from one statics0.mul, opened at the first block that has records and
// kept open for the whole pass.
class StaticRunReader {
public:
    explicit StaticRunReader(std::string staticsPath) : path_(std::move(staticsPath)) {}
    // The block's records, as ReadStaticRecords checks them; Count 0 for an empty entry.
    void read(const StaticPointer& entry, TStaticBlock& block);

private:
    std::string path_;
    std::optional<File> file_;
};

// Runs appended to statics0.mul in place, at its old end. Unless kept, the file is cut back to
// its old size: the bytes appended are then dead space that no entry on disk points to.
class StaticsAppend {
public:
    explicit StaticsAppend(const std::string& staticsPath);
    ~StaticsAppend();
    StaticsAppend(const StaticsAppend&) = delete;
    StaticsAppend& operator=(const StaticsAppend&) = delete;

    std::uint64_t oldSize() const { return oldSize_; }
    // Writes the runs at the old end and syncs them.
    void write(std::string_view runs);
    // For a pass that appends run by run through its own writer: the file, positioned at its
    // old end. Call sync() once the writer is flushed.
    File& appendFile();
    void sync() { file_.sync(); }
    void keep() { kept_ = true; }

private:
    File file_;
    std::uint64_t oldSize_;
    bool written_ = false;
    bool kept_ = false;
};

} // namespace lw

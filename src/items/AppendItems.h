// Adding static records to an item file as new TYPE 255 items: the melt's item file and the
// freeze's patch file.
#pragma once

#include "items/ItemFileStyle.h"
#include "items/ScanHighestNumbers.h"
#include "util/LogSink.h"
#include "util/SafeReplace.h"
#include "world/Records.h"

#include <memory>
#include <string>
#include <vector>

namespace lw {

// Many blocks appended to one file with one read and one write, giving the file, the log lines
// and the errors that appending the blocks one by one would give.
class ItemAppender {
public:
    ItemAppender(std::string path, ItemFileStyle style);

    // Logs and checks what appending this block's records would; writes nothing. Refuses
    // numbers or serials beyond 2,147,483,647.
    void add(const TStaticBlock& block, int blockX, int blockY, const LogSink& log);
    bool hasItems() const { return !items_.empty(); }

    // The new content, written and synced beside the file; the caller commits it.
    std::unique_ptr<ReplacementFile> stage() const;

private:
    struct NewItem {
        std::uint16_t ID;
        int X, Y;
        std::int8_t Z;
        std::uint16_t Color;
    };
    void start();

    std::string path_;
    ItemFileStyle style_;
    bool existed_ = false;
    std::string old_;
    HighestNumbers first_, highest_;
    std::vector<NewItem> items_;
    int blocksAdded_ = 0;
};

// Appends one block's records to the item file at path (replacing it safely).
void AppendItems(const std::string& path, ItemFileStyle style, const TStaticBlock& block,
                 int blockX, int blockY, const LogSink& log);

} // namespace lw

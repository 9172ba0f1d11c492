// Feeds arbitrary index entries and statics0.mul bytes to the static block readers: the first
// byte gives the entry count (1-4), then 12 bytes per entry, the rest is statics0.mul. A read
// either refuses with an Error or gives exactly the bytes the entry points to.
#include "FuzzFiles.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/FilePieces.h"
#include "world/Blocks.h"
#include "world/StaticRuns.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace lw;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// What a read that succeeded must have given.
void CheckRead(const StaticPointer& entry, std::string_view statics, const TStaticBlock& block) {
    // An empty run points nowhere in particular: nothing is read.
    if (entry.Offset == kNoStatics || entry.Length == 0) {
        Require(block.Count == 0);
        return;
    }
    Require(entry.Offset >= 0 && block.Count * kStaticRecSize == entry.Length);
    Require(static_cast<std::uint64_t>(entry.Offset) + entry.Length <= statics.size());
    Require(std::memcmp(block.Recs, statics.data() + entry.Offset, entry.Length) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t count = data[0] % 4 + 1;
    if (size < 1 + count * sizeof(StaticPointer))
        return 0;
    std::vector<StaticPointer> entries(count);
    std::memcpy(entries.data(), data + 1, count * sizeof(StaticPointer));
    const std::string_view statics =
        fuzz::AsText(data, size).substr(1 + count * sizeof(StaticPointer));
    static const std::string path = fuzz::ScratchFile("statics0.mul");
    fuzz::WriteBytes(path, statics);

    auto block = std::make_unique<TStaticBlock>();
    StaticRunReader pass(path);
    File file = File::OpenRead(path);
    PieceReader pieces(file, 4096);
    for (const StaticPointer& entry : entries) {
        try {
            ReadStaticBlock(path, entry, *block);
            CheckRead(entry, statics, *block);
        } catch (const Error&) {
        }
        try {
            pass.read(entry, *block);
            CheckRead(entry, statics, *block);
        } catch (const Error&) {
        }
        try {
            const std::string_view records = ReadStaticRecords(pieces, entry);
            Require(records.size() == (entry.Offset == kNoStatics ? 0 : entry.Length));
            if (!records.empty())
                Require(records ==
                        statics.substr(static_cast<std::size_t>(entry.Offset), entry.Length));
        } catch (const Error&) {
        }
    }
    return 0;
}

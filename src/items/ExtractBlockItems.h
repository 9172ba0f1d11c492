// Taking the selected items out of an item file as static records, block by block, with one
// read and one write of the file.
#pragma once

#include "items/NormalisedCopy.h"
#include "items/SelectItems.h"
#include "world/Records.h"

#include <exception>
#include <string_view>
#include <vector>

namespace lw {

class BlockItemExtraction {
public:
    // Reads the selected items' tags from the item file text the selection was made on, which
    // must outlive the extraction; errors are kept for the block that meets them.
    BlockItemExtraction(std::string_view itemFileText, const ItemSelection& selection);

    // The block's selected items as records with in-block X and Y, in file order. Throws what
    // extracting this block from the file would meet first; the first block extracted also
    // meets a section number outside 0-2,147,483,647 anywhere in the file.
    void extract(int blockX, int blockY, TStaticBlock& block);

private:
    struct Item {
        std::int32_t Number = 0;
        int BlockNumber = 0;
        TStaticRec Rec{0, 0, 0, 0, 0};
        std::size_t Offset = 0; // of the header line
        std::size_t CloseOffset = 0;
        std::size_t ErrorOffset = 0;
        std::exception_ptr Error;
    };
    struct Failure {
        std::size_t Offset = 0;
        std::exception_ptr Error;
    };
    void readItem(Item& item) const;
    Failure firstFailureOf(int blockNumber, TStaticBlock& block) const;

    std::string_view text_;
    std::vector<Item> items_;          // in file order
    std::vector<std::size_t> byBlock_; // items_ indices, by block, then file order
    Failure headerFailure_;
    bool extractedBefore_ = false;
};

// Writes, while SelectItems reads, every line except the items it takes (each from its header to
// its "}"), normalised: what the item file holds once every selected item is extracted.
class RemainingItemsWriter : public SelectionListener {
public:
    explicit RemainingItemsWriter(TextWriter& out) : copy_(out) {}
    void line(std::string_view line) override;
    void taken() override;
    // Writes what is still held back; call after the scan.
    void finish();

private:
    void release();
    NormalisedCopy copy_;
    std::vector<std::string_view> section_; // a world item until its "}" decides
    bool closed_ = false;
};

} // namespace lw

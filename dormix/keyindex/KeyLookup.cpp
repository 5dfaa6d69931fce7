#include "dormix/keyindex/KeyLookup.h"

#include <vector>

#include "dormix/keyindex/KeyCompare.h"
#include "dormix/keyindex/KeySearchSteps.h"

namespace keyindex {

namespace {

const char* RecordAt(const char* records, std::size_t i) { return records + i * kRecordSize; }

}  // namespace

std::size_t FindKeySlot(std::size_t n, const char* records, const char* k) {
    return FindKeySlotIn(n, [records](std::size_t i) { return RecordAt(records, i); }, k);
}

BlockSearch SearchKeyBlock(const KeyFile& file, char* block, const char* k, FilePosition blockOffset,
                           std::size_t bytesRead) {
    BlockSearch result;
    const std::size_t n = bytesRead / kRecordSize;
    if (n == kBlockRecords && KeyGreater(k, RecordAt(block, kBlockRecords - 1))) {
        result.outcome = BlockSearch::Outcome::NextBlock;
        return result;
    }

    const std::size_t slot = FindKeySlot(n, block, k);
    const FilePosition slotOffset = blockOffset + slot * kRecordSize;
    result.slot = slotOffset;
    const long long got = file.readAt(slotOffset, block, kBlockBytes);
    if (got < 0) {
        result.outcome = BlockSearch::Outcome::ReadFailed;
        return result;
    }

    const std::size_t records = static_cast<std::size_t>(got) / kRecordSize;
    const auto exact = FirstExactFromSlot(records, [block](std::size_t i) { return RecordAt(block, i); }, k);
    if (!exact) return result;
    result.outcome = BlockSearch::Outcome::Found;
    result.hit.position = slotOffset + *exact * kRecordSize;
    result.hit.value = ValueOfRecord(RecordAt(block, *exact));
    result.hit.record = RecordBytesAt(RecordAt(block, *exact));
    return result;
}

BlockSearch SearchKey(const KeyFile& file, const char* k) {
    std::vector<char> block(kBlockBufferBytes, '\0');
    FilePosition blockOffset = 0;
    for (;;) {
        const long long got = file.readAt(blockOffset, block.data(), kBlockBytes);
        if (got < 0) return {BlockSearch::Outcome::ReadFailed, {}, blockOffset};
        const auto bytesRead = static_cast<std::size_t>(got);
        const BlockSearch search = SearchKeyBlock(file, block.data(), k, blockOffset, bytesRead);
        if (search.outcome != BlockSearch::Outcome::NextBlock) return search;
        blockOffset += bytesRead;
    }
}

std::optional<KeyHit> LookupKey(const KeyFile& file, const char* k) {
    const BlockSearch search = SearchKey(file, k);
    if (search.outcome != BlockSearch::Outcome::Found) return std::nullopt;
    return search.hit;
}

}  // namespace keyindex

#pragma once
// The fixed-size record of the installation's key index files "USER.KEY" and "USERTIME.KEY".
// A file is a plain sequence of records with no header; record i starts at byte 256 x i.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace keyindex {

inline constexpr std::size_t kKeySize = 128;
inline constexpr std::size_t kValueSize = 128;
inline constexpr std::size_t kRecordSize = kKeySize + kValueSize;

// Files are read in blocks of at most 100 records; the buffer has room for one more.
inline constexpr std::size_t kBlockRecords = 100;
inline constexpr std::size_t kBlockBytes = kBlockRecords * kRecordSize;
inline constexpr std::size_t kBlockBufferBytes = kBlockBytes + kRecordSize;

// A key of exactly 128 bytes fills its field and has no terminator; shorter keys are
// zero-ended and zero-padded. The value is taken whole.
struct KeyRecord {
    char key[kKeySize];
    char value[kValueSize];
};
static_assert(sizeof(KeyRecord) == kRecordSize);

// A record's value with one more zero byte, so that it always reads as a zero-ended text
// when it serves as the key into the next file.
using KeyValue = std::array<char, kValueSize + 1>;

// The value of the record whose 256 bytes start at record, taken whole.
inline KeyValue ValueOfRecord(const char* record) {
    KeyValue value{};
    std::memcpy(value.data(), record + kKeySize, kValueSize);
    return value;
}

// A whole record as it stands in a file, every byte kept, so that it can be put back unchanged.
using KeyRecordBytes = std::array<char, kRecordSize>;

inline KeyRecordBytes RecordBytesAt(const char* record) {
    KeyRecordBytes bytes{};
    std::memcpy(bytes.data(), record, kRecordSize);
    return bytes;
}

// Byte positions in a key file.
using FilePosition = std::uint64_t;

}  // namespace keyindex

#include "tests/keyindex/KeyFileWriter.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "tests/support/TempDir.h"

std::string RecordBytes(const TestRecord& record) {
    if (record.key.size() > 128 || record.value.size() > 128) throw std::invalid_argument("field too long");
    std::string bytes(256, '\0');
    bytes.replace(0, record.key.size(), record.key);
    bytes.replace(128, record.value.size(), record.value);
    return bytes;
}

std::string KeyFileBytes(const std::vector<TestRecord>& records, const std::string& tail) {
    const bool sorted = std::is_sorted(records.begin(), records.end(), [](const TestRecord& a, const TestRecord& b) {
        return std::lexicographical_compare(a.key.begin(), a.key.end(), b.key.begin(), b.key.end(),
                                            [](char x, char y) {
                                                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                                            });
    });
    if (!sorted) throw std::invalid_argument("keys out of order");
    std::string bytes;
    bytes.reserve(records.size() * 256 + tail.size());
    for (const auto& r : records) bytes += RecordBytes(r);
    return bytes + tail;
}

void WriteKeyFile(const std::string& path, const std::vector<TestRecord>& records, const std::string& tail) {
    WriteBytes(path, KeyFileBytes(records, tail));
}

std::string NumberedKey(std::size_t number) {
    char text[16];
    std::snprintf(text, sizeof text, "K%06zu", number);
    return text;
}

std::string NumberedValue(std::size_t number) {
    char text[16];
    std::snprintf(text, sizeof text, "V%06zu", number);
    return text;
}

std::vector<TestRecord> NumberedRecords(std::size_t count) {
    std::vector<TestRecord> records;
    records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) records.push_back({NumberedKey(2 * i), NumberedValue(2 * i)});
    return records;
}

std::vector<TestRecord> Without(std::vector<TestRecord> records, std::size_t index) {
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(index));
    return records;
}

#pragma once
// Builds key index files for tests from records given in key order.
#include <cstddef>
#include <string>
#include <vector>

struct TestRecord {
    std::string key;    // at most 128 bytes; exactly 128 fills the field without a terminator
    std::string value;  // at most 128 bytes, zero-padded
};

// The 256 bytes of one record.
std::string RecordBytes(const TestRecord& record);

// The records one after another, then tail (bytes that make no whole record). Throws when the
// keys are not in ascending byte order, so that a test cannot build an unsorted file by mistake.
std::string KeyFileBytes(const std::vector<TestRecord>& records, const std::string& tail = {});

void WriteKeyFile(const std::string& path, const std::vector<TestRecord>& records,
                  const std::string& tail = {});

// count records with keys "K" + six digits of 2 x i (so odd numbers are missing) and values
// "V" + the same digits.
std::vector<TestRecord> NumberedRecords(std::size_t count);
std::string NumberedKey(std::size_t number);
std::string NumberedValue(std::size_t number);

// records without the one at index.
std::vector<TestRecord> Without(std::vector<TestRecord> records, std::size_t index);

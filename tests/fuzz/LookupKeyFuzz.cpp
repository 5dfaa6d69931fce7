// LookupKey over any key-file bytes: a found record is a whole record whose key matches and
// whose value is copied whole. Over sorted files built from the input, it finds exactly the
// first record with the key, in any block.
#include <algorithm>
#include <cstring>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "dormix/keyindex/KeyFile.h"
#include "dormix/keyindex/KeyLookup.h"
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;
using namespace keyindex;

namespace {

// A key as its 128-byte field holds it: cut at 128 bytes and at its first zero, zero-padded.
std::string Field(const std::string& key) {
    std::string field = key.substr(0, std::min(key.find('\0'), kKeySize));
    field.resize(kKeySize, '\0');
    return field;
}

std::optional<KeyHit> Lookup(const std::string& bytes, const std::string& key) {
    const std::string path = fuzz::ScratchFile("USER.KEY");
    fuzz::WriteFile(path, bytes);
    KeyFile file;
    Require(file.open(path), "the key file opens");
    return LookupKey(file, key.c_str());
}

void CheckHit(const std::optional<KeyHit>& hit, const std::string& bytes, const std::string& key) {
    if (!hit) return;
    Require(hit->position % kRecordSize == 0 && hit->position + kRecordSize <= bytes.size(), "a hit is a whole record");
    const std::string record = bytes.substr(hit->position, kRecordSize);
    Require(Field(record.substr(0, kKeySize)) == Field(key), "the record found has the key");
    Require(std::memcmp(hit->value.data(), record.data() + kKeySize, kValueSize) == 0 && hit->value[kValueSize] == '\0',
            "the value is copied whole and zero-ended");
}

// A short key over a small alphabet, so that equal keys and prefixes come up often; now and then
// one that fills or overruns the 128-byte field.
std::string SmallKey(FuzzedDataProvider& input) {
    const auto length = input.ConsumeIntegralInRange<int>(0, 7);
    if (length == 7) return std::string(input.ConsumeBool() ? 128 : 131, 'B');
    std::string key;
    for (int i = 0; i < length; ++i) key += static_cast<char>("AB\x80"[input.ConsumeIntegralInRange<int>(0, 2)]);
    return key;
}

void SortedFile(FuzzedDataProvider& input) {
    const std::string key = SmallKey(input);
    std::vector<std::string> keys;
    while (input.remaining_bytes() > 0 && keys.size() < 3000) keys.push_back(Field(SmallKey(input)));
    std::sort(keys.begin(), keys.end());  // zero-padded fields compare as the files are sorted
    std::string bytes;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::string value = "V" + std::to_string(i);
        value.resize(kValueSize, static_cast<char>(i));
        bytes += keys[i] + value;
    }
    const auto first = std::find(keys.begin(), keys.end(), Field(key));
    const auto hit = Lookup(bytes, key);
    CheckHit(hit, bytes, key);
    Require(hit.has_value() == (first != keys.end()), "a key is found exactly when a record has it");
    if (hit) Require(hit->position == static_cast<FilePosition>(first - keys.begin()) * kRecordSize, "the first of equal keys is found");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        SortedFile(input);
        return 0;
    }
    const std::string key = input.ConsumeRandomLengthString(200);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    CheckHit(Lookup(bytes, key), bytes, key);
    return 0;
}

#include "tests/keyindex/BatchDifferential.h"

#include <algorithm>
#include <filesystem>

#include "dormix/keyindex/FindUserKeyRecords.h"
#include "dormix/keyindex/KeyLookup.h"
#include "dormix/keyindex/OnePassLookup.h"
#include "dormix/keyindex/RemoveUserKeysBatch.h"
#include "dormix/keyindex/UserKey.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using namespace keyindex;

namespace {

using Pick = std::function<std::size_t(std::size_t)>;

// Wine cannot make symbolic links, and Windows makes them only with a privilege: there the case
// of "USERTIME.KEY" linked to "USER.KEY" is left out, the choice still drawn so the rest agrees.
#ifdef _WIN32
constexpr bool kLinksCanBeMade = false;
#else
constexpr bool kLinksCanBeMade = true;
#endif

std::string OneOf(const Pick& pick, const std::vector<std::string>& choices) { return choices[pick(choices.size())]; }

std::string Name(const Pick& pick) {
    if (pick(20) == 0) return std::string(64 + pick(8), 'a');  // a key of 128 characters or more
    std::string name;
    for (std::size_t n = pick(4); n > 0; --n) name += OneOf(pick, {"a", "b", "B", "\xC1" "A"});
    return name;
}

std::string TimeKey(const Pick& pick) { return OneOf(pick, {"", "T1", "T12", "T2", "T21", "T3", "T", "U"}); }

std::string Field(std::string text) {
    text.resize(128, '\0');
    return text;
}

// count records from the two makers, sorted as the product keeps them unless the case says not,
// and now and then a short tail.
std::string RandomKeyFile(const Pick& pick, const std::function<std::string()>& key,
                          const std::function<std::string()>& value) {
    static const std::size_t sizes[] = {0, 1, 2, 3, 7, 30, 99, 100, 101, 199, 200, 201, 250};
    const std::size_t count = pick(3) == 0 ? pick(40) : sizes[pick(std::size(sizes))];
    std::vector<std::string> records;
    for (std::size_t i = 0; i < count; ++i) records.push_back(Field(key().substr(0, 128)) + Field(value()));
    if (pick(5) != 0) std::sort(records.begin(), records.end());
    std::string bytes;
    for (const auto& r : records) bytes += r;
    if (pick(4) == 0) bytes += std::string(1 + pick(255), 'z');
    return bytes;
}

// The record that the search of key finds in the file at path, as it stands.
std::optional<KeyRecordBytes> RecordFound(const std::string& path, const char* key) {
    KeyFile file;
    if (!file.open(path)) return std::nullopt;
    const auto hit = LookupKey(file, key);
    return hit ? std::optional(hit->record) : std::nullopt;
}

bool SameOutcome(const UserKeysRemoval& a, const UserKeysRemoval& b) {
    return a.user.found == b.user.found && a.user.result == b.user.result && a.user.value == b.user.value &&
           a.time.found == b.time.found && a.time.result == b.time.result;
}

}  // namespace

BatchCase MakeBatchCase(const Pick& pick) {
    BatchCase c;
    const auto userKey = [&] { return MakeUserKey(Name(pick)); };
    const auto timeKey = [&] { return TimeKey(pick); };
    if (pick(10) != 0) c.userKey = RandomKeyFile(pick, userKey, timeKey);
    if (pick(10) != 0) c.userTimeKey = RandomKeyFile(pick, timeKey, timeKey);
    else c.timeLinksToUser = pick(2) == 0 && kLinksCanBeMade;
    for (std::size_t n = pick(pick(4) == 0 ? 150 : 30); n > 0; --n) c.names.push_back(Name(pick));
    static const std::size_t pieces[] = {0, 1, 2, 7, 100};
    c.pieceRecords = pieces[pick(std::size(pieces))];
    return c;
}

std::string InstallBatchCase(const std::string& root, const char* which, const BatchCase& c) {
    const std::string install = root + "/" + which;
    fs::remove_all(install);
    fs::create_directories(install + "/USER");
    if (c.userKey) WriteBytes(install + "/USER/USER.KEY", *c.userKey);
    if (c.userTimeKey) WriteBytes(install + "/USER/USERTIME.KEY", *c.userTimeKey);
    if (c.timeLinksToUser) fs::create_symlink("USER.KEY", install + "/USER/USERTIME.KEY");
    return install;
}

std::string CompareBatchWithOneAtATime(const std::string& root, const BatchCase& c) {
    const std::string one = InstallBatchCase(root, "one", c);
    const std::string batch = InstallBatchCase(root, "batch", c);
    SetPieceRecordsForTests(c.pieceRecords);
    const struct Restore {
        ~Restore() { SetPieceRecordsForTests(0); }
    } restore;
    const std::vector<UserKeyRecords> found = FindUserKeyRecords(batch, c.names);
    for (std::size_t j = 0; j < c.names.size(); ++j)
        if (found[j].user != RecordFound(batch + "/USER/USER.KEY", MakeUserKey(c.names[j]).c_str()) ||
            found[j].time != (found[j].user ? RecordFound(batch + "/USER/USERTIME.KEY", ValueOfRecord(found[j].user->data()).data())
                                            : std::nullopt))
            return "the records found differ for name #" + std::to_string(j);
    std::vector<UserKeysRemoval> expected;
    for (const auto& name : c.names) expected.push_back(RemoveUserKeysOf(one, name));
    const std::vector<UserKeysRemoval> got = RemoveUserKeysBatch(batch, c.names);

    for (const char* file : {"/USER/USER.KEY", "/USER/USERTIME.KEY"})
        if (ReadBytes(one + file) != ReadBytes(batch + file)) return std::string(file) + " differs";
    if (ListNames(one + "/USER") != ListNames(batch + "/USER")) return "the user folders hold different entries";
    if (got.size() != expected.size()) return "one result per name";
    for (std::size_t j = 0; j < got.size(); ++j)
        if (!SameOutcome(got[j], expected[j])) return "the results differ for name #" + std::to_string(j);
    return {};
}

#include <deque>
#include <string>

#include <gtest/gtest.h>

#include "dormix/keyindex/KeyRemoval.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/TempDir.h"

using namespace keyindex;

TEST(RetryWhileChanged, RedoesAChangedRemovalAFewTimesOnly) {
    using R = RemovalResult;
    struct Case {
        std::deque<R> results;
        int calls;
        R final;
    } cases[] = {
        {{R::Removed}, 1, R::Removed},
        {{R::Unchanged}, 1, R::Unchanged},
        {{R::FileChanged, R::Removed}, 2, R::Removed},
        {{R::FileChanged, R::FileChanged, R::Unchanged}, 3, R::Unchanged},
        {{R::FileChanged, R::FileChanged, R::FileChanged, R::Removed}, 4, R::Removed},
        {{R::FileChanged, R::FileChanged, R::FileChanged, R::FileChanged, R::Removed}, 1 + kMaxRedos, R::FileChanged},
    };
    for (auto c : cases) {
        int calls = 0;
        const R got = RetryWhileChanged([&] {
            ++calls;
            const R r = c.results.front();
            c.results.pop_front();
            return r;
        });
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(got, c.final);
    }
}

TEST(RemoveKeyFromFile, RemovesTheKeysRecordAndGivesItsValue) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    const auto records = NumberedRecords(300);
    WriteKeyFile(path, records);

    const KeyRemoval hit = RemoveKeyFromFile(path, NumberedKey(2 * 123).c_str());
    EXPECT_TRUE(hit.found);
    EXPECT_EQ(hit.result, RemovalResult::Removed);
    EXPECT_EQ(std::string(hit.value.data()), NumberedValue(2 * 123));
    EXPECT_EQ(ReadBytes(path), KeyFileBytes(Without(records, 123)));

    const std::string now = ReadBytes(path);
    for (const char* key : {"K000246", "K000001", "A", "Z"}) {
        EXPECT_FALSE(RemoveKeyFromFile(path, key).found) << key;
        EXPECT_EQ(ReadBytes(path), now) << key;
    }
    EXPECT_FALSE(RemoveKeyFromFile(dir.file("missing"), "K000000").found);
}

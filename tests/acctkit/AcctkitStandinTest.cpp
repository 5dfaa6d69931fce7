#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "acctkit/acctkit.h"
#include "tests/scan/fixture/UserDb.h"
#include "tests/support/TempDir.h"

namespace {

struct Block {
    explicit Block(void* p) : bytes(static_cast<unsigned char*>(p)) {}
    ~Block() { std::free(bytes); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    int firstValue() const { return bytes[0] | (bytes[1] << 8); }
    std::string file() const { return reinterpret_cast<const char*>(bytes + ACCTKIT_USER_FILE_OFFSET); }
    unsigned char* bytes;
};

class AcctkitStandin : public ::testing::Test {
protected:
    AcctkitStandin() {
        CreateUserDb(db, {{0, "Ann", "/mail/ann.mbx"}, {0, "bob", ""}, {1, "ann", "/mail/other.mbx"}});
    }
    TempDir dir;
    std::string db = dir.file("users.db");
    ScopedEnv env{"ACCTKIT_DB", db};
};

TEST_F(AcctkitStandin, OpensOnlyAnExistingDatabase) {
    WriteBytes(dir.file("not-a-db"), "plain text, no tables");
    CreateUserDb(dir.file("empty.db"), {});
    const std::pair<std::string, bool> cases[] = {
        {"", false},
        {dir.file("missing.db"), false},
        {dir.file("not-a-db"), false},
        {dir.file("empty.db"), true},
        {db, true},
    };
    for (const auto& [path, opens] : cases) {
        ScopedEnv use("ACCTKIT_DB", path);
        const int32_t handle = OpenUserDatabase();
        EXPECT_EQ(handle != 0, opens) << path;
        if (handle) {
            EXPECT_EQ(CloseUserDatabase(handle), 1);
        }
    }
    EXPECT_FALSE(Exists(dir.file("missing.db")));
    unsetenv("ACCTKIT_DB");
    EXPECT_EQ(OpenUserDatabase(), 0);
}

TEST_F(AcctkitStandin, GetUsersAnswersForTheSelectedDomain) {
    const int32_t handle = OpenUserDatabase();
    ASSERT_NE(handle, 0);
    int32_t count = -1;
    {
        Block beforeSelect(GetUsers(handle, 1, "Ann", &count));  // no domain yet: nobody
        ASSERT_NE(beforeSelect.bytes, nullptr);
        EXPECT_EQ(beforeSelect.firstValue(), 0);
        EXPECT_EQ(count, 0);
    }
    ASSERT_NE(SelectDomainByID(handle, 0), 0);
    struct Case {
        const char* name;
        int firstValue;
        const char* file;
    };
    const Case cases[] = {
        {"Ann", 1, "/mail/ann.mbx"},
        {"ANN", 1, "/mail/ann.mbx"},  // names compare without case
        {"bob", 1, ""},
        {"nobody", 0, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        count = -1;
        Block block(GetUsers(handle, 1, c.name, &count));
        ASSERT_NE(block.bytes, nullptr) << c.name;
        EXPECT_EQ(block.firstValue(), c.firstValue) << c.name;
        EXPECT_EQ(count, c.firstValue) << c.name;
        if (c.firstValue == 1) {
            EXPECT_EQ(block.file(), c.file) << c.name;
        }
    }
    ASSERT_NE(SelectDomainByID(handle, 1), 0);
    Block other(GetUsers(handle, 1, "ann", &count));
    EXPECT_EQ(other.firstValue(), 1);
    EXPECT_EQ(other.file(), "/mail/other.mbx");
    EXPECT_EQ(CloseUserDatabase(handle), 1);
}

TEST_F(AcctkitStandin, DeleteUserRemovesOneUserOfTheSelectedDomain) {
    const int32_t handle = OpenUserDatabase();
    ASSERT_NE(handle, 0);
    ASSERT_NE(SelectDomainByID(handle, 0), 0);
    EXPECT_EQ(DeleteUser(handle, "ANN", "root", 2), 1);
    EXPECT_EQ(DeleteUser(handle, "ann", "root", 2), 0);  // already gone
    EXPECT_EQ(CloseUserDatabase(handle), 1);
    const std::vector<TervoxUser> expected = {{0, "bob", ""}, {1, "ann", "/mail/other.mbx"}};
    EXPECT_EQ(ReadUserDb(db), expected);
}

TEST_F(AcctkitStandin, HandlesAreSeparateAndEndAtClose) {
    const int32_t first = OpenUserDatabase();
    const int32_t second = OpenUserDatabase();
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    ASSERT_NE(SelectDomainByID(second, 1), 0);
    EXPECT_EQ(CloseUserDatabase(first), 1);
    EXPECT_EQ(CloseUserDatabase(first), 0);
    int32_t count = 0;
    EXPECT_EQ(GetUsers(first, 1, "Ann", &count), nullptr);
    EXPECT_EQ(SelectDomainByID(first, 0), 0);
    EXPECT_EQ(DeleteUser(first, "Ann", "root", 2), 0);
    Block stillOpen(GetUsers(second, 1, "ann", &count));
    EXPECT_EQ(stillOpen.firstValue(), 1);
    EXPECT_EQ(CloseUserDatabase(second), 1);
    EXPECT_EQ(ReadUserDb(db).size(), 3u);
}

TEST_F(AcctkitStandin, LongPathsComeWhole) {
    const std::string longPath = "/mail/" + std::string(600, 'x') + ".mbx";
    CreateUserDb(dir.file("long.db"), {{0, "Ann", longPath}});
    ScopedEnv use("ACCTKIT_DB", dir.file("long.db"));
    const int32_t handle = OpenUserDatabase();
    ASSERT_NE(SelectDomainByID(handle, 0), 0);
    int32_t count = 0;
    Block block(GetUsers(handle, 1, "ann", &count));
    EXPECT_EQ(block.file(), longPath);
    CloseUserDatabase(handle);
}

}  // namespace

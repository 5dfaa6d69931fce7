#include <gtest/gtest.h>

#include "dormix/scan/DeleteTervoxUsers.h"
#include "tests/scan/fixture/UserDb.h"
#include "tests/support/TempDir.h"

namespace {

TEST(DeleteTervoxUsers, RemovesTheUsersAndTheirFilesInDomainZero) {
    TempDir dir;
    for (const char* name : {"ann.mbx", "bob.mbx", "other.mbx", "cleo.mbx"}) WriteBytes(dir.file(name), name);
    const std::string db = dir.file("users.db");
    CreateUserDb(db, {
                         {0, "ann", dir.file("ann.mbx")},
                         {0, "Bob", "  " + dir.file("bob.mbx") + " \t"},  // blanks around the path
                         {0, "cleo", ""},
                         {0, "dora", dir.file("missing.mbx")},
                         {1, "ann", dir.file("other.mbx")},
                         {0, "eve", dir.file("cleo.mbx")},
                     });
    ScopedEnv env("ACCTKIT_DB", db);

    const TervoxDeletion deletion = DeleteTervoxUsers({"ann", "BOB", "cleo", "dora", "nobody"});
    EXPECT_EQ(deletion.failed, 0);
    EXPECT_EQ(deletion.userFailed, std::vector<bool>(5, false));

    const std::vector<TervoxUser> left = ReadUserDb(db);
    const std::vector<TervoxUser> expected = {{0, "eve", dir.file("cleo.mbx")}, {1, "ann", dir.file("other.mbx")}};
    EXPECT_EQ(left, expected);
    EXPECT_FALSE(Exists(dir.file("ann.mbx")));
    EXPECT_FALSE(Exists(dir.file("bob.mbx")));
    EXPECT_EQ(ReadBytes(dir.file("other.mbx")), "other.mbx");  // another domain's user keeps its file
    EXPECT_EQ(ReadBytes(dir.file("cleo.mbx")), "cleo.mbx");
}

TEST(DeleteTervoxUsers, WithoutADatabaseNothingHappensAndItIsReported) {
    TempDir dir;
    WriteBytes(dir.file("ann.mbx"), "x");
    {
        ScopedEnv env("ACCTKIT_DB", "");
        EXPECT_EQ(DeleteTervoxUsers({"ann"}).reason, "the user database could not be opened");
    }
    {
        ScopedEnv env("ACCTKIT_DB", dir.file("no-such.db"));
        EXPECT_EQ(DeleteTervoxUsers({"ann"}).failed, 1);
        EXPECT_TRUE(DeleteTervoxUsers({"bob", "ann"}).failedFor(1));
        EXPECT_FALSE(Exists(dir.file("no-such.db")));
    }
    EXPECT_TRUE(Exists(dir.file("ann.mbx")));
}

}  // namespace

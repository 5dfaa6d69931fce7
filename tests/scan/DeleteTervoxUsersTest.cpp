#include <gtest/gtest.h>
#include <sqlite3.h>

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

// A view gives odd answers: DeleteUser says 0 also when its trigger deletes; ghost gives a null.
TEST(DeleteTervoxUsers, OnlyAUserStillFoundAfterItsDeletionFailed) {
    TempDir dir;
    WriteBytes(dir.file("ann.mbx"), "another user's file");
    const std::string db = dir.file("users.db");
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
    const std::string schema =
        "CREATE TABLE data (domain_id INTEGER, name TEXT COLLATE NOCASE, file_path TEXT);"
        "CREATE VIEW users AS SELECT domain_id, name, CASE WHEN name = 'ghost' THEN abs(domain_id - "
        "9223372036854775807 - 1) ELSE file_path END AS file_path FROM data;"
        "CREATE TRIGGER remove INSTEAD OF DELETE ON users WHEN old.name <> 'stays' BEGIN "
        "DELETE FROM data WHERE domain_id = old.domain_id AND name = old.name; END;"
        "INSERT INTO data VALUES (0, 'ann', '" + dir.file("Ann.mbx") + "'), (0, 'stays', ''), (0, 'ghost', '');";
    ASSERT_EQ(sqlite3_exec(handle, schema.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(handle);
    sqlite3_close(handle);
    ScopedEnv env("ACCTKIT_DB", db);
    const TervoxDeletion deletion = DeleteTervoxUsers({"ann", "stays", "ghost", "nobody"});
    EXPECT_EQ(deletion.userFailed, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(deletion.userAbsent, (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(deletion.reason, "the user database still holds the user after its deletion");
#ifndef _WIN32  // on Windows both spellings name the one file
    EXPECT_EQ(ReadBytes(dir.file("ann.mbx")), "another user's file");
#endif
}

}  // namespace

// The stand-in for the mail server's user database: one SQLite file named by ACCTKIT_DB.
#include "acctkit/acctkit.h"

#include <cstdlib>
#include <string>

#include <sqlite3.h>

#include "acctkit/standin/Sessions.h"
#include "acctkit/standin/UserBlock.h"

namespace {

constexpr int kLookupByName = 1;
constexpr int kBusyRetryMs = 250;

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { ok_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) == SQLITE_OK; }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return ok_; }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool ok_ = false;
};

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const unsigned char* text = sqlite3_column_text(stmt, column);
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

// The database must already exist and hold the users table; nothing is created here.
sqlite3* OpenExisting(const char* path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    // A locked database is retried briefly; the caller reports what could not be done.
    sqlite3_busy_timeout(db, kBusyRetryMs);
    if (!Statement(db, "SELECT domain_id, name, file_path FROM users LIMIT 0").ok()) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

}  // namespace

extern "C" {

int32_t OpenUserDatabase(void) {
    const char* path = std::getenv("ACCTKIT_DB");
    if (!path || !*path) return 0;
    sqlite3* db = OpenExisting(path);
    if (!db) return 0;
    acctkit::Session session;
    session.db = db;
    return acctkit::AddSession(session);
}

int32_t SelectDomainByID(int32_t handle, int32_t domainId) {
    return acctkit::WithSession(handle, [&](acctkit::Session& s) {
        s.domainSelected = true;
        s.domainId = domainId;
    }) ? 1 : 0;
}

void* GetUsers(int32_t handle, int32_t mode, const char* userName, int32_t* count) {
    if (count) *count = 0;
    if (mode != kLookupByName || !userName) return nullptr;
    void* block = nullptr;
    acctkit::WithSession(handle, [&](acctkit::Session& s) {
        bool found = false;
        std::string name = userName;
        std::string filePath;
        if (s.domainSelected) {
            Statement query(s.db, "SELECT name, file_path FROM users WHERE domain_id = ?1 AND name = ?2");
            if (!query.ok()) return;
            sqlite3_bind_int64(query.get(), 1, s.domainId);
            sqlite3_bind_text(query.get(), 2, userName, -1, SQLITE_TRANSIENT);
            const int step = sqlite3_step(query.get());
            if (step != SQLITE_ROW && step != SQLITE_DONE) return;
            found = step == SQLITE_ROW;
            if (found) {
                name = ColumnText(query.get(), 0);
                filePath = ColumnText(query.get(), 1);
            }
        }
        block = acctkit::MakeUserBlock(found, name, filePath);
        if (block && found && count) *count = 1;
    });
    return block;
}

int32_t DeleteUser(int32_t handle, const char* userName, const char* /*requestedBy*/, int32_t /*mode*/) {
    if (!userName) return 0;
    int32_t removed = 0;
    acctkit::WithSession(handle, [&](acctkit::Session& s) {
        if (!s.domainSelected) return;
        Statement remove(s.db, "DELETE FROM users WHERE domain_id = ?1 AND name = ?2");
        if (!remove.ok()) return;
        sqlite3_bind_int64(remove.get(), 1, s.domainId);
        sqlite3_bind_text(remove.get(), 2, userName, -1, SQLITE_TRANSIENT);
        if (sqlite3_step(remove.get()) == SQLITE_DONE) removed = sqlite3_changes(s.db) > 0 ? 1 : 0;
    });
    return removed;
}

int32_t CloseUserDatabase(int32_t handle) {
    acctkit::Session session;
    if (!acctkit::TakeSession(handle, session)) return 0;
    sqlite3_close(session.db);
    return 1;
}

}  // extern "C"

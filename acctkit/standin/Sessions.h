#pragma once
// The open databases of the stand-in, addressed by the 32-bit handles its callers hold.
#include <cstdint>
#include <functional>

struct sqlite3;

namespace acctkit {

struct Session {
    sqlite3* db = nullptr;
    bool domainSelected = false;
    std::int64_t domainId = 0;
};

// Stores the session and returns its new handle (never 0).
std::int32_t AddSession(Session session);

// Runs work on the session of handle under the table's lock; false when the handle is unknown.
bool WithSession(std::int32_t handle, const std::function<void(Session&)>& work);

// Removes the session and hands it back; false when the handle is unknown.
bool TakeSession(std::int32_t handle, Session& out);

}  // namespace acctkit

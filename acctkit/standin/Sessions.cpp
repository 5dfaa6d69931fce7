#include "acctkit/standin/Sessions.h"

#include <map>
#include <mutex>

namespace acctkit {
namespace {

std::mutex tableLock;
std::map<std::int32_t, Session> sessions;
std::int32_t lastHandle = 0;

}  // namespace

std::int32_t AddSession(Session session) {
    std::lock_guard<std::mutex> hold(tableLock);
    do {
        lastHandle = lastHandle == INT32_MAX ? 1 : lastHandle + 1;
    } while (sessions.count(lastHandle) != 0);
    sessions.emplace(lastHandle, session);
    return lastHandle;
}

bool WithSession(std::int32_t handle, const std::function<void(Session&)>& work) {
    std::lock_guard<std::mutex> hold(tableLock);
    auto it = sessions.find(handle);
    if (it == sessions.end()) return false;
    work(it->second);
    return true;
}

bool TakeSession(std::int32_t handle, Session& out) {
    std::lock_guard<std::mutex> hold(tableLock);
    auto it = sessions.find(handle);
    if (it == sessions.end()) return false;
    out = it->second;
    sessions.erase(it);
    return true;
}

}  // namespace acctkit

#pragma once
// The key records of many users as they stand, read before anything is removed, so that they can
// be kept aside and put back later byte for byte.
#include <optional>
#include <string>
#include <vector>

#include "dormix/keyindex/KeyRecord.h"

namespace keyindex {

struct UserKeyRecords {
    std::optional<KeyRecordBytes> user;  // the user's "USER.KEY" record
    std::optional<KeyRecordBytes> time;  // the "USERTIME.KEY" record it points to
};

// For each name in order, the records that RemoveUserKeys would remove now. Each file is read
// once, a sorted one a piece at a time (one lookup per name when a file not sorted is too large
// to hold); nothing is written.
std::vector<UserKeyRecords> FindUserKeyRecords(const std::string& installPath, const std::vector<std::string>& userNames);

}  // namespace keyindex

#pragma once
#include <cstdint>
#include <ctime>

#include "dormix/scan/DormixPaths.h"
#include "platform/MessageBox.h"

// Walks the account folders and deletes every account whose last logon lies more than days
// back at now: its folder tree, its key records and, when the administrator answers Yes to
// the one question, its mail-server user. Accounts it cannot judge get a line in the log.
// Ends with one summary box, and a second one when mail-server users could not be deleted.
// True when it ran to the end or was cancelled at the question; false (after its message) when
// the log could not be opened, another scan of the installation runs, or the account folder or
// key files cannot be told apart or read safely, in which case nothing was deleted.
bool ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                         std::time_t now);

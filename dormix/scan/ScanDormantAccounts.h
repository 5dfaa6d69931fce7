#pragma once
#include <cstdint>
#include <ctime>

#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/ScanProgress.h"
#include "platform/MessageBox.h"

// What a scan says when it deletes nothing.
inline constexpr const char* kNoDormantAccounts = "There were no dormant accounts found";

// Walks the account folders and deletes every account whose last logon lies more than days
// back at now: its folder tree, its key records and, when the administrator answers Yes to
// the one question, its mail-server user. Accounts it cannot judge get a line in the log;
// protected accounts are left alone. Every deletion gets its line in "deleted.log" before the
// next account is touched. Ends with one summary box. True when it ran to the end, was
// stopped through progress, or was cancelled at the question; false (after "Unable to create
// file ...") when a log could not be written, or when the list of protected accounts was cut.
bool ScanDormantAccounts(std::int32_t days, const DormixPaths& paths, platform::MessageBoxes& boxes,
                         std::time_t now, ScanProgress* progress = nullptr);

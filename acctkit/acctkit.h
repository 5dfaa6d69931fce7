#pragma once
// The Tervox mail server's user-database library, imported by name when Dormix loads.
// Every argument and result is a 32-bit value or a plain zero-terminated 8-bit text.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// A database handle; 0 when the database cannot be opened.
int32_t OpenUserDatabase(void);

// Non-zero when the domain was selected for the lookups that follow.
int32_t SelectDomainByID(int32_t handle, int32_t domainId);

// Null, or a block on the process heap that the caller releases (HeapFree on Windows, free
// elsewhere). Its first 16-bit value (little-endian) is 1 when the user exists in the selected
// domain; the block then holds at byte 149 the zero-terminated path of a file of the user.
// *count receives the number of users the block describes.
void* GetUsers(int32_t handle, int32_t mode, const char* userName, int32_t* count);

// Removes the user from the selected domain; non-zero when a user was removed.
int32_t DeleteUser(int32_t handle, const char* userName, const char* requestedBy, int32_t mode);

// Releases the handle; non-zero when it was open.
int32_t CloseUserDatabase(int32_t handle);

// Byte offset of the file path in the block that GetUsers returns.
#define ACCTKIT_USER_FILE_OFFSET 149

#ifdef __cplusplus
}
#endif

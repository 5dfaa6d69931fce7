#pragma once
// The few calls of the operating system under the platform layer, one file per system: whole-buffer
// reads and writes (interrupted calls repeated, short writes continued, every write through the
// fault-injection seam), exclusive temporary files, syncs, replacement and folder listing.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/SafeWrite.h"

namespace platform::sys {

// Writes all size bytes; 0 or the error code of the failing call.
ErrorCode WriteAll(int fd, const char* data, std::size_t size);
// Appends length bytes of the file from, starting at offset, to the file to at its current
// position: inside the system where the file systems allow it, else through a buffer. A mebibyte
// at a time, each piece passing the fault seam as one write. 0, kSourceEnded when from ends first,
// or the error code of the failing call.
ErrorCode CopyFileRange(int from, std::uint64_t offset, int to, std::uint64_t length);
// Appends the rest of the file to out; 0, the error code of the failing call, or kFileTooLarge
// as soon as out would hold more than limit bytes.
ErrorCode ReadAll(int fd, std::string& out, std::size_t limit = static_cast<std::size_t>(-1));
// Closes fd (through the seam); 0 or the error code.
ErrorCode Close(int fd);

// Descriptors for reading, or for appending to a file created when missing; -1 with the error in error.
// Appending never goes through a link in the file's place (kLinkRefused): only the programs' own
// logs are appended to, and a link there would send their lines to any file of the system.
int OpenForReading(const std::string& path, ErrorCode& error);
int OpenForAppending(const std::string& path, ErrorCode& error);

// Creates a new file exclusively, its name made unique from pattern (ending in "XXXXXX"), which
// then holds the name; -1 with the error in error.
int CreateExclusive(std::string& pattern, ErrorCode& error);

// True for an existing file that is marked read-only: no write permission for anyone, or none
// for this user. Such a file is neither replaced nor deleted, as the read-only attribute keeps
// a file on Windows.
bool IsReadOnlyFile(const std::string& path);

// The path the new content really replaces: a link keeps pointing at its file.
std::string ReplacementTarget(const std::string& path);
// Gives fd the owner, group and permission bits of target; when target is missing, its folder's
// owner and group and the bits of an ordinary new file, no wider than the folder's.
ErrorCode AdoptPermissions(int fd, const std::string& target);
// Gives fd the permission bits an ordinary new file gets (no set-id, sticky or execute bits).
ErrorCode GiveNewFileMode(int fd);
ErrorCode SyncFile(int fd);
// Puts from in the place of to in one step.
ErrorCode ReplaceFile(const std::string& from, const std::string& to);
// Makes a rename in folder durable; failures are not reported.
void SyncFolder(const std::string& folder);
// Removes a file; failures are not reported.
void RemoveQuietly(const std::string& path);

FileStamp StampOfResolved(const std::string& path);

// Every entry of folder ("" for the current one), in the order the system lists them.
std::vector<FoundEntry> ListFolder(const std::string& folder);
// The same entries handed to visit one at a time, so that a folder of a million accounts is never
// held whole; visit returning false ends the listing there. 0, or why the folder could not be
// listed (in full).
ErrorCode ForEachInFolder(const std::string& folder, const std::function<bool(FoundEntry&&)>& visit);

// One record in the system's log under identifier; failures are not reported.
void SystemLogRecord(const std::string& identifier, const std::string& text);
// The name of the user the process runs as; empty when the system does not say.
std::string UserName();
// True when standard error is a terminal.
bool StandardErrorIsTerminal();

}  // namespace platform::sys

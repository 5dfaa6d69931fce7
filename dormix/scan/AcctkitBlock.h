#pragma once
// Reading and releasing the block that Acctkit's GetUsers returns.
#include <string>

// True when the block's first 16-bit value (little-endian) is 1: the user exists.
bool BlockNamesUser(const void* block);

// The zero-terminated text at the block's file-path offset.
std::string BlockUserFile(const void* block);

// Gives the block back to the process heap it came from.
void ReleaseAcctkitBlock(void* block);

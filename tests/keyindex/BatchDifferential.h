#pragma once
// The batch removal of many users' key records against the reference, RemoveUserKeys called for
// each name in turn: random installations built from a stream of choices, so that a seeded
// generator and a fuzzer can drive the same comparison.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct BatchCase {
    std::optional<std::string> userKey;      // the bytes of "USER.KEY"; none: no such file
    std::optional<std::string> userTimeKey;  // the bytes of "USERTIME.KEY"
    bool timeLinksToUser = false;            // "USERTIME.KEY" is a link to "USER.KEY" instead
    std::vector<std::string> names;          // the users to remove, in order
    std::size_t pieceRecords = 0;            // records per piece of a sorted file's reading; 0: as usual
};

// pick(n) gives a number below n. Small alphabets make equal keys and keys that are prefixes of
// others common; sizes gather around the block edges; some files are unsorted or end in a tail.
BatchCase MakeBatchCase(const std::function<std::size_t(std::size_t)>& pick);

// Writes the case's key files into the folder root/which (made anew); the installation's path.
std::string InstallBatchCase(const std::string& root, const char* which, const BatchCase& c);

// Runs both ways on copies of the case in two folders under root; empty when the files and the
// per-user results agree, else what differs. The records found for the batch before it removes
// them must be those that the search of each name finds.
std::string CompareBatchWithOneAtATime(const std::string& root, const BatchCase& c);

#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

#include "tests/support/Portable.h"

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path() joined with relative, as a text with the native separator.
    std::string file(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

// Small file helpers for tests.
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);  // empty when missing
bool Exists(const std::string& path);
// The permission bits of path (mode & 07777); 0 when it cannot be read.
mode_t ModeOf(const std::string& path);
// Names of the entries of folder, sorted; shows at a glance that no temporary file was left.
std::vector<std::string> ListNames(const std::string& folder);
// Every path under root with the bytes of its file ("<folder>" for a folder): equal snapshots
// show that nothing on disk changed.
std::map<std::string, std::string> TreeSnapshot(const std::string& root);

// Sets an environment variable for the life of the object, restoring the old value (or its absence) after.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string old_;
    bool hadOld_ = false;
};

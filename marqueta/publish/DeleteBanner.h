#pragma once
#include <functional>
#include <string>
#include <vector>

#include "marqueta/catalogue/CatalogueFile.h"

// The Delete command on the first selected row (-1 when none is selected): asks, and on Yes
// removes the row, saves, and once saved removes the banner's pages and images, naming any that
// could not be removed or were kept; saves on No too.
void DeleteSelectedBanner(CatalogueContext& context, int firstSelectedRow);

struct FailedRemoval {
    std::string path;  // as the search found it
    platform::ErrorCode error;
};

// Deletes every file (never a folder) that the wildcard pattern finds, except those whose name
// keep accepts. The files that could not be deleted.
std::vector<FailedRemoval> DeleteMatchingFiles(const std::string& pattern,
                                               const std::function<bool(const std::string&)>& keep = {});


#pragma once
#include <functional>

#include "marqueta/catalogue/CatalogueFile.h"

// The Delete command on the first selected row (-1 when none is selected): asks, and on Yes
// removes the row, saves, and once saved removes the banner's pages and images; saves on No too.
void DeleteSelectedBanner(CatalogueContext& context, int firstSelectedRow);

// True for an id that may safely name files in a pattern: not empty, no wildcard,
// no separator, no "..".
bool isSafeBannerId(const std::string& uid);

// Deletes every file (never a folder) that the wildcard pattern finds, except those whose name
// keep accepts.
void DeleteMatchingFiles(const std::string& pattern, const std::function<bool(const std::string&)>& keep = {});

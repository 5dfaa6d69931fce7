#pragma once
#include "marqueta/catalogue/CatalogueFile.h"

// The Delete command on the first selected row (-1 when none is selected): asks, removes the
// banner's pages and images and the row on Yes, and saves whatever the answer.
void DeleteSelectedBanner(CatalogueContext& context, int firstSelectedRow);

// True for an id that may safely name files in a pattern: not empty, no wildcard,
// no separator, no "..".
bool isSafeBannerId(const std::string& uid);

// Deletes every file (never a folder) that the wildcard pattern finds.
void DeleteMatchingFiles(const std::string& pattern);

#pragma once
#include "marqueta/catalogue/MarquetaPaths.h"
#include "platform/MessageBox.h"

// First run: with no catalogue file, builds one from the images folder (placeholder lines, images
// renamed to their ids, one page each). True when start-up may go on.
bool generateCatalogue(const MarquetaPaths& paths, platform::MessageBoxes& boxes);

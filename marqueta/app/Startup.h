#pragma once
// Marqueta's start-up up to the window: settings, paths, generator, first-run bootstrap.
#include <cstdint>

#include "marqueta/catalogue/MarquetaPaths.h"
#include "platform/MessageBox.h"

// False (after its message) when the program must end without a window.
bool StartMarqueta(MarquetaPaths& paths, platform::MessageBoxes& boxes, std::uint32_t seed);

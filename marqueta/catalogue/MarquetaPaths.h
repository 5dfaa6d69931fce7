#pragma once
// Where Marqueta works, found at start-up; only lastBrowseDir changes afterwards.
#include <string>

struct MarquetaPaths {
    std::string lastBrowseDir;  // folder the image dialog opens in, with its trailing separator
    std::string dataFilePath;   // the catalogue file
    std::string imagesDir;      // htmlPath + "/banners/images/"
    std::string bannersDir;     // htmlPath + "/banners/"
};

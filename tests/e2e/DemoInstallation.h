#pragma once
// A web-mail installation in a temporary folder: VELTA.INI in its own WINDIR, the web folder with
// its banners and images folders, and the helpers that read back what the program left on disk.
#include <map>
#include <string>
#include <vector>

#include "marqueta/catalogue/BannerRecord.h"
#include "tests/support/TempDir.h"

class DemoInstallation {
public:
    // Writes VELTA.INI with HTMLPATH, points WINDIR at it, and makes the banners and images folders.
    DemoInstallation();

    std::string root() const { return tmp_.path().string(); }
    std::string htmlPath() const;
    std::string bannersDir() const;  // with its trailing separator
    std::string imagesDir() const;   // with its trailing separator
    std::string catalogue() const;   // where start-up puts it by default
    std::string settingsFile() const;

    // A file under the root (folders made as needed); its bytes are a tiny picture tagged by name.
    std::string writeFile(const std::string& relative, const std::string& bytes);
    std::string writeImage(const std::string& name);  // into the images folder
    static std::string imageBytes(const std::string& name);

    // Catalogue lines written as the program writes them: ten fields each with a comma, CR LF.
    void writeCatalogue(const std::vector<Cells>& rows) const;

private:
    TempDir tmp_;
    ScopedEnv windir_;
};

// Every line of a catalogue file, split into its ten fields; a line not ending in "," or not
// ending in CR LF, or with another number of fields, fails the calling test.
std::vector<Cells> ReadCatalogue(const std::string& path);

// Names (not paths) of the plain files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

// Every file under a folder with its bytes, keyed by the path below the folder.
std::map<std::string, std::string> Snapshot(const std::string& folder);

// A well-formed banner row with id "%08X" of number and image extension ".gif".
Cells BannerRow(int number, const std::string& sequence = "1");

#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/Random.h"

// A banner id as the programs write it: "%08X" of a number 0..32767, so it begins with "0000".
std::string FormatBannerId(int number);

// Eight hexadecimal digits: the only ids whose files Marqueta builds paths for, deletes, or shows.
bool isWellFormedBannerId(const std::string& uid);

// True when a file name can be built from uid: it is not empty and holds no wildcard ('*', '?', and
// the '<', '>', '"' that a Windows search also reads as ones), no separator ('/', '\\', ':') and no
// "..", so that "uid.*" finds only files of that one name in its
// folder. The Delete command removes a banner's files by this rule, whatever the id looks like.
bool canNameBannerFiles(const std::string& uid);

// An image extension that names a file inside its folder: empty, or a dot followed by a short
// name without separators, dots, wildcards, commas or control characters.
bool isPlainExtension(const std::string& ext);

// The ids that rows, images and pages already use, one flag per id that can be drawn, so that
// drawing a free one takes constant time on average however many banners there are.
class BannerIdSet {
public:
    // Takes the id that a row carries; anything but a well-formed id is passed over.
    void take(const std::string& uid);
    // Takes the id that names a file: the id alone or the id, a dot and an extension.
    void takeFileName(const std::string& name);
    // Takes the id of every such file in folder.
    void takeFilesIn(const std::string& folder);

    // A free id drawn from the shared generator, not yet taken; none when every id is taken.
    std::optional<std::string> drawFree() const;

private:
    void takeNumber(unsigned long number);

    std::vector<bool> taken_ = std::vector<bool>(platform::kRandMax + 1, false);
    int takenCount_ = 0;
};

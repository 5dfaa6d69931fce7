#include "tests/scan/ScanTestSupport.h"

#include <algorithm>
#include <sstream>

#include "dormix/scan/CollectAccountFolders.h"
#include "dormix/scan/FolderUserName.h"
#include "tests/scan/fixture/KeyFiles.h"

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// Key files hold hexadecimal keys of lowered names; the tests' names are lower-case already.
std::vector<std::string> NamesOfUserKeys(const std::vector<KeyEntry>& entries) {
    std::vector<std::string> names;
    for (const KeyEntry& e : entries) names.push_back(FolderUserName(e.first));
    return Sorted(names);
}

}  // namespace

std::vector<std::string> ScanTest::searchOrder() const {
    std::vector<std::string> names;
    for (const std::string& folder : CollectAccountFolders(install->paths().userFolderPattern))
        names.push_back(FolderUserName(folder));
    return names;
}

std::vector<std::string> ScanTest::sortedLogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(install->log());
    for (std::string line; std::getline(in, line);) {
        EXPECT_FALSE(line.empty() || line.back() != '\r') << "line without CR LF: " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return Sorted(lines);
}

std::vector<std::string> ScanTest::userKeyNames() const { return NamesOfUserKeys(ReadKeyFile(install->userKeyPath())); }

std::vector<std::string> ScanTest::userTimeNames() const {
    std::vector<std::string> names;
    for (const KeyEntry& e : ReadKeyFile(install->userTimeKeyPath())) names.push_back(e.second);
    return Sorted(names);
}

std::vector<std::string> ScanTest::tervoxNames(int domainId) const {
    std::vector<std::string> names;
    for (const TervoxUser& u : ReadUserDb(install->tervoxDb()))
        if (u.domainId == domainId) names.push_back(u.name);
    return Sorted(names);
}

void ScanTest::expectQuestionAt(std::size_t index) const {
    ASSERT_GT(boxes.shown.size(), index);
    EXPECT_EQ(boxes.shown[index].text, "Would you like to delete the associated Tervox account(s) also?");
    EXPECT_EQ(boxes.shown[index].caption, "Select Account(s) To Be Deleted");
    EXPECT_EQ(boxes.shown[index].buttons, platform::Buttons::YesNoCancel);
}

#include <gtest/gtest.h>

#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DormixPaths.h"
#include "dormix/scan/FolderUserName.h"
#include "dormix/scan/HexDecode.h"
#include "tests/support/Portable.h"

namespace {

TEST(HexDecode, DecodesFolderNamesInEitherCase) {
    struct Case {
        std::string text;
        std::string name;
    };
    const Case cases[] = {
        {"416E6E", "Ann"},
        {"416e6e", "Ann"},
        {"416E6e", "Ann"},
        {"zz", " "},                // a pair of non-digits gives a blank
        {"41zz42", "A B"},
        {"41004243", "A"},          // 00 ends the name
        {"00416E6E", ""},
        {"416", ""},                // an odd length gives the empty name
        {"", ""},
        {"4G", "`"},                // 4 x 16 + 32
        {"G4", std::string(1, '\x04')},  // (32 x 16 + 4) mod 256
        {"\xC3\xA9", " "},          // bytes from 128 up count as non-digits
        {"616E6E612E6B", "anna.k"},
    };
    for (const Case& c : cases) EXPECT_EQ(HexDecode(c.text), c.name) << '"' << c.text << '"';
}

TEST(HexDecode, DigitValues) {
    const std::pair<char, int> cases[] = {
        {'0', 0}, {'9', 9}, {'a', 10}, {'f', 15}, {'g', 32}, {'A', 32}, {'F', 32},
        {' ', 32}, {'/', 32}, {':', 32}, {'`', 32}, {'\x80', 32}, {'\xFF', 32},
    };
    for (const auto& [c, value] : cases) EXPECT_EQ(HexDigitValue(c), value) << "char " << int(static_cast<unsigned char>(c));
}

TEST(FolderUserName, TakesTheFolderOwnName) {
    const std::pair<std::string, std::string> cases[] = {
        {"/srv/velta/user/416E6E", "Ann"},
        {"/srv/velta/user/416e6e/", "Ann"},      // one trailing separator is dropped
        {"/srv/velta//user//426F62", "Bob"},
        {"416E6E", "Ann"},                       // no separator: the whole text
        {"/srv/velta/user/416E6", ""},
        {"/srv/velta/user/USER.KEY", " "},       // "us" is a blank, "er" is 256 mod 256 = 0
        {"", ""},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(FolderUserName(Native(path)), name) << path;
}

TEST(DormixPaths, JoinsThePartsAsTheyStand) {
    const DormixPaths plain = DormixPathsFor(Native("/srv/V"));
    EXPECT_EQ(plain.installPath, Native("/srv/V"));
    EXPECT_EQ(plain.userFolderPattern, Native("/srv/V/user/*.*"));
    EXPECT_EQ(plain.logPath, Native("/srv/V/Log/dormant.log"));

    const DormixPaths trailing = DormixPathsFor(Native("/srv/V/"));
    EXPECT_EQ(trailing.userFolderPattern, Native("/srv/V//user/*.*"));
    EXPECT_EQ(trailing.logPath, Native("/srv/V//Log/dormant.log"));
}

TEST(AccountLog, LinesEndInABlankAndALineFeed) {
    EXPECT_EQ(AccountLogLine("Ann", LogReason::NoUserIni), "Ann, has no user.ini file \n");
    EXPECT_EQ(AccountLogLine("Ann", LogReason::NotActivated), "Ann, has not activated their account \n");
    EXPECT_EQ(AccountLogLine("Ann", LogReason::UnreadableDate), "Ann, has an unreadable last logon date \n");
    EXPECT_EQ(AccountLogLine("", LogReason::NoUserIni), ", has no user.ini file \n");
}

}  // namespace

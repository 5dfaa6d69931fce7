#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/FaultInjection.h"
#include "platform/ProfileFile.h"
#include "tests/support/Portable.h"
#include "tests/support/TempDir.h"

namespace {

using platform::ReadProfileString;
using platform::WriteProfileString;

TEST(ProfileFile, ReadsWithoutCaseTrimmedAndWithAnyLineBreak) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    WriteBytes(ini,
               "; Velta settings\r\n"
               "[Program]\r\n"
               "HtmlPath =  C:\\web  \t\r\n"
               "path=C:\\velta\n"
               "  Indented = yes\r"
               ";HIDDEN=1\r\n"
               "novalue\r\n"
               "empty=\r\n"
               "[ banner ]\n"
               "DATAFILE=first\n"
               "datafile=second\n"
               "[PROGRAM]\r\n"
               "LATE=not seen\r\n"
               "[END]\r\n"
               "last=no line break");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"PROGRAM", "HTMLPATH", "C:\\web"},
        {"program", "htmlpath", "C:\\web"},
        {"PROGRAM", "PATH", "C:\\velta"},
        {"PROGRAM", "INDENTED", "yes"},
        {"PROGRAM", "HIDDEN", ""},
        {"PROGRAM", ";HIDDEN", ""},
        {"PROGRAM", "novalue", ""},
        {"PROGRAM", "empty", ""},
        {"BANNER", "DATAFILE", "first"},
        {"PROGRAM", "LATE", ""},  // only the first section of a name counts
        {"END", "last", "no line break"},
        {"MISSING", "HTMLPATH", ""},
        {"PROGRAM", "MISSING", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadProfileString(ini, c.section, c.key), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ReadProfileString(dir.file("NONE.INI"), "PROGRAM", "HTMLPATH"), "");
}

TEST(ProfileFile, ValuesAreCutAt259Bytes) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    const std::string exact(259, 'x');
    WriteBytes(ini, "[S]\r\nexact=" + exact + "\r\nlong=" + std::string(300, 'y') + "z\r\nspaced=  " +
                        std::string(258, 'w') + "q   \r\n");
    EXPECT_EQ(ReadProfileString(ini, "S", "exact"), exact);
    EXPECT_EQ(ReadProfileString(ini, "S", "long"), std::string(259, 'y'));
    EXPECT_EQ(ReadProfileString(ini, "S", "spaced"), std::string(258, 'w') + "q");
}

TEST(ProfileFile, FindsTheFileInAnotherSpelling) {
    SKIP_ON_WINDOWS("names that differ only in letter case are one name on Windows");
    TempDir dir;
    WriteBytes(dir.file("velta.ini"), "[PROGRAM]\r\nPATH=x\r\n");
    EXPECT_EQ(ReadProfileString(dir.file("VELTA.INI"), "PROGRAM", "PATH"), "x");
    ASSERT_TRUE(WriteProfileString(dir.file("VELTA.INI"), "PROGRAM", "PATH", "y"));
    EXPECT_EQ(ReadBytes(dir.file("velta.ini")), "[PROGRAM]\r\nPATH=y\r\n");
    EXPECT_FALSE(Exists(dir.file("VELTA.INI")));
}

TEST(ProfileFile, WritingOneKeyChangesOnlyItsValue) {
    const std::string original =
        "; comment kept\n"
        "[PROGRAM]\r\n"
        "HTMLPATH=C:\\web\r\n"
        "\r\n"
        "[Banner]\n"
        "  DataFile =  old value  \r"
        "LASTBROWSEDIR=C:\\pics\\\r\n"
        ";trailing comment\r\n"
        "\r\n"
        "[OTHER]\r\n"
        "x=1";
    struct Case {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        std::string expected;
    } cases[] = {
        {"replace keeps key spelling and spacing", "BANNER", "datafile", "new",
         "; comment kept\n[PROGRAM]\r\nHTMLPATH=C:\\web\r\n\r\n[Banner]\n  DataFile =  new  \r"
         "LASTBROWSEDIR=C:\\pics\\\r\n;trailing comment\r\n\r\n[OTHER]\r\nx=1"},
        {"replace with empty", "PROGRAM", "HTMLPATH", "",
         "; comment kept\n[PROGRAM]\r\nHTMLPATH=\r\n\r\n[Banner]\n  DataFile =  old value  \r"
         "LASTBROWSEDIR=C:\\pics\\\r\n;trailing comment\r\n\r\n[OTHER]\r\nx=1"},
        {"add after the section's last non-blank line", "PROGRAM", "PATH", "C:\\velta",
         "; comment kept\n[PROGRAM]\r\nHTMLPATH=C:\\web\r\nPATH=C:\\velta\r\n\r\n[Banner]\n  DataFile =  old value  \r"
         "LASTBROWSEDIR=C:\\pics\\\r\n;trailing comment\r\n\r\n[OTHER]\r\nx=1"},
        {"add to the last section without a final line break", "other", "y", "2",
         "; comment kept\n[PROGRAM]\r\nHTMLPATH=C:\\web\r\n\r\n[Banner]\n  DataFile =  old value  \r"
         "LASTBROWSEDIR=C:\\pics\\\r\n;trailing comment\r\n\r\n[OTHER]\r\nx=1\r\ny=2\r\n"},
        {"add a section at the end", "NEW", "k", "v",
         "; comment kept\n[PROGRAM]\r\nHTMLPATH=C:\\web\r\n\r\n[Banner]\n  DataFile =  old value  \r"
         "LASTBROWSEDIR=C:\\pics\\\r\n;trailing comment\r\n\r\n[OTHER]\r\nx=1\r\n[NEW]\r\nk=v\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string ini = dir.file("VELTA.INI");
        WriteBytes(ini, original);
        ASSERT_TRUE(WriteProfileString(ini, c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(ReadBytes(ini), c.expected) << c.name;
        EXPECT_EQ(ReadProfileString(ini, c.section, c.key), c.value) << c.name;
    }
}

TEST(ProfileFile, MissingFileIsCreatedAndAMissingFolderFails) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    ASSERT_TRUE(WriteProfileString(ini, "BANNER", "DATAFILE", "C:\\web\\banners\\bannerfile.txt"));
    EXPECT_EQ(ReadBytes(ini), "[BANNER]\r\nDATAFILE=C:\\web\\banners\\bannerfile.txt\r\n");
    ASSERT_TRUE(WriteProfileString(ini, "BANNER", "LASTBROWSEDIR", "/pics/"));
    EXPECT_EQ(ReadBytes(ini), "[BANNER]\r\nDATAFILE=C:\\web\\banners\\bannerfile.txt\r\nLASTBROWSEDIR=/pics/\r\n");
    EXPECT_FALSE(WriteProfileString(dir.file("missing/VELTA.INI"), "BANNER", "DATAFILE", "x"));
    EXPECT_FALSE(Exists(dir.file("missing")));
}

TEST(ProfileFile, RefusesTextsThatWouldPlantOtherLines) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    const std::string original = "[PROGRAM]\r\nHTMLPATH=C:\\web\r\n";
    WriteBytes(ini, original);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"BANNER", "LASTBROWSEDIR", "/a\r\n[PROGRAM]\r\nHTMLPATH=/evil"},
        {"BANNER", "LASTBROWSEDIR", "/a\n"},
        {"BANNER", "K\nX", "v"},
        {"BANNER", "K=X", "v"},
        {"BANNER", "", "v"},
        {"BANNER", "  ", "v"},
        {"BANNER", ";K", "v"},
        {"BANNER", " [K", "v"},
        {"BAN]NER", "K", "v"},
        {"BAN\rNER", "K", "v"},
        {"", "K", "v"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(WriteProfileString(ini, c.section, c.key, c.value)) << c.key << "=" << c.value;
        EXPECT_EQ(ReadBytes(ini), original);
    }
}

TEST(ProfileFile, KeysMayHoldPunctuationInside) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    ASSERT_TRUE(WriteProfileString(ini, "My Section", "a;b[c]", "x=y; z"));
    EXPECT_EQ(ReadProfileString(ini, "my section", "A;B[C]"), "x=y; z");
}

TEST(ProfileFile, NamesWithWhiteSpaceAroundThemReadBackAsWritten) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    WriteBytes(ini, "[ s\r\n");  // an unclosed section line names " s" trimmed, "s"
    ASSERT_TRUE(WriteProfileString(ini, " s", "key\f", "v1"));
    EXPECT_EQ(ReadProfileString(ini, " s", "key\f"), "v1");
    EXPECT_EQ(ReadProfileString(ini, "s", "key"), "v1");
    ASSERT_TRUE(WriteProfileString(ini, "\tBANNER ", " DATAFILE", "v2"));
    EXPECT_EQ(ReadProfileString(ini, "banner", "datafile"), "v2");
    EXPECT_EQ(ReadBytes(ini).find(" DATAFILE"), std::string::npos);
}

TEST(ProfileFile, AnUnchangedValueLeavesTheFileAlone) {
    SKIP_ON_WINDOWS("MinGW's std::filesystem counts one link for every file");
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    WriteBytes(ini, "[S]\nk=v\n");
    auto before = std::filesystem::last_write_time(ini);
    auto inode = std::filesystem::hard_link_count(ini);
    std::filesystem::create_hard_link(ini, dir.file("link"));
    ASSERT_TRUE(WriteProfileString(ini, "s", "K", "v"));
    // Still the same file: a replacement would have broken the hard link.
    EXPECT_EQ(std::filesystem::hard_link_count(ini), inode + 1);
    EXPECT_EQ(std::filesystem::last_write_time(ini), before);
}

}  // namespace

namespace {

namespace fault = platform::fault;

TEST(ProfileFile, AnotherWritersChangeIsReadAgainAndKept) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    WriteBytes(ini, "[PROGRAM]\r\nHTMLPATH=C:\\web\r\n");
    // The web-mail product adds a key just as the first attempt is about to replace the file.
    fault::BeforeReplace([&] { WriteBytes(ini, "[PROGRAM]\r\nHTMLPATH=C:\\web\r\nPATH=C:\\velta\r\n"); });
    EXPECT_TRUE(WriteProfileString(ini, "BANNER", "DATAFILE", "x.txt"));
    fault::Reset();
    EXPECT_EQ(ReadBytes(ini), "[PROGRAM]\r\nHTMLPATH=C:\\web\r\nPATH=C:\\velta\r\n[BANNER]\r\nDATAFILE=x.txt\r\n");
}

TEST(ProfileFile, AFileThatKeepsChangingIsLeftToItsOtherWriter) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    WriteBytes(ini, "[PROGRAM]\r\n");
    int changes = 0;
    fault::BeforeReplace([&] { WriteBytes(ini, "[PROGRAM]\r\nN=" + std::to_string(++changes) + "\r\n"); }, 100);
    EXPECT_FALSE(WriteProfileString(ini, "BANNER", "DATAFILE", "x.txt"));
    fault::Reset();
    EXPECT_GT(changes, 1);
    EXPECT_EQ(ReadBytes(ini), "[PROGRAM]\r\nN=" + std::to_string(changes) + "\r\n");
}

// Every failing step of a settings edit leaves the old file whole and no temporary file behind.
TEST(ProfileFile, AFailedEditLeavesTheOldFileWhole) {
    const std::string original = "[PROGRAM]\r\nHTMLPATH=C:\\web\r\n[BANNER]\r\nDATAFILE=old\r\n";
    for (fault::Step step : {fault::Step::Create, fault::Step::Write, fault::Step::Flush, fault::Step::Close,
                             fault::Step::Rename}) {
        TempDir dir;
        const std::string ini = dir.file("VELTA.INI");
        WriteBytes(ini, original);
        fault::FailAt(step, 1);
        EXPECT_FALSE(WriteProfileString(ini, "BANNER", "DATAFILE", "new"));
        EXPECT_TRUE(fault::Fired());
        fault::Reset();
        EXPECT_EQ(ReadBytes(ini), original);
        EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"VELTA.INI"});
    }
}

}  // namespace

namespace {

TEST(ProfileFile, OnePairOfMatchingQuotesIsDropped) {
    TempDir dir;
    const std::string ini = dir.file("user.ini");
    const std::pair<std::string, std::string> cases[] = {
        {"\"2020/1/5\"", "2020/1/5"}, {"'2020/1/5'", "2020/1/5"}, {"\"\"", ""},     {"''", ""},
        {"  \"a b\"  ", "a b"},       {"\"\"a\"\"", "\"a\""},     {"\"a'", "\"a'"}, {"'a\"", "'a\""},
        {"\"", "\""},                 {"a\"b\"", "a\"b\""},
    };
    for (const auto& [raw, read] : cases) {
        WriteBytes(ini, "[PROGRAM]\r\nLASTLOGON=" + raw + "\r\n");
        EXPECT_EQ(ReadProfileString(ini, "PROGRAM", "LASTLOGON"), read) << raw;
    }
}

TEST(ProfileFile, AFileOverTheSizeLimitIsUnreadableAndNeverRewritten) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    WriteBytes(ini, "[PROGRAM]\r\nPATH=/srv/velta\r\n");
    std::filesystem::resize_file(ini, platform::kMaxProfileFileBytes);
    EXPECT_EQ(ReadProfileString(ini, "PROGRAM", "PATH"), "/srv/velta");  // at the limit: still read

    std::filesystem::resize_file(ini, platform::kMaxProfileFileBytes + 1);
    const platform::ProfileValue read = platform::ReadProfileValue(ini, "PROGRAM", "PATH");
    EXPECT_EQ(read.error, platform::kFileTooLarge);
    EXPECT_EQ(read.value, "");
    EXPECT_FALSE(WriteProfileString(ini, "PROGRAM", "PATH", "/elsewhere"));
    EXPECT_EQ(std::filesystem::file_size(ini), platform::kMaxProfileFileBytes + 1);
}

}  // namespace

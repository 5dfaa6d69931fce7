// The platform layer against the system's own functions, where the system has them: the profile
// functions, the C runtime's rand, FindFirstFile's matching, the error codes and their texts.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/DirectorySearch.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/Random.h"
#include "platform/SafeWrite.h"
#include "platform/win/WindowsApi.h"
// after the layer's header, which keeps the system's macros off the layer's names
#include <aclapi.h>
#include <sddl.h>
#include "tests/support/TempDir.h"

namespace {

std::string SystemProfileString(const std::string& ini, const char* section, const char* key) {
    char buffer[260] = {};
    GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, ini.c_str());
    return buffer;
}

const char* const kIni =
    "; settings\r\n"
    "[Program]\r\n"
    "HtmlPath =  C:\\web  \t\r\n"
    "path=C:\\velta\r\n"
    "empty=\r\n"
    "[ banner ]\r\n"
    "DATAFILE=first\r\n"
    "datafile=second\r\n"
    "[LONG]\r\n";

TEST(WindowsProfile, ReadsAsGetPrivateProfileString) {
    TempDir dir;
    const std::string ini = dir.file("VELTA.INI");
    WriteBytes(ini, kIni + ("VALUE=" + std::string(300, 'v') + "\r\n"));
    const std::pair<const char*, const char*> lookups[] = {
        {"PROGRAM", "HTMLPATH"}, {"program", "Path"}, {"PROGRAM", "EMPTY"}, {"PROGRAM", "MISSING"},
        {"BANNER", "DATAFILE"},  {"MISSING", "PATH"}, {"LONG", "VALUE"},
    };
    for (const auto& [section, key] : lookups)
        EXPECT_EQ(platform::ReadProfileString(ini, section, key), SystemProfileString(ini, section, key))
            << section << "/" << key;
}

TEST(WindowsProfile, WritesWhatGetPrivateProfileStringReadsBack) {
    TempDir dir;
    const std::string ours = dir.file("ours.ini"), system = dir.file("system.ini");
    WriteBytes(ours, kIni);
    WriteBytes(system, kIni);
    const char* const edits[][3] = {
        {"PROGRAM", "PATH", "D:\\velta"}, {"banner", "LASTBROWSEDIR", "C:\\pictures\\"},
        {"NEW", "KEY", "value"},          {"Program", "htmlpath", ""},
    };
    for (const auto& edit : edits) {
        ASSERT_TRUE(platform::WriteProfileString(ours, edit[0], edit[1], edit[2]));
        ASSERT_TRUE(WritePrivateProfileStringA(edit[0], edit[1], edit[2], system.c_str()));
    }
    for (const auto& edit : edits)
        EXPECT_EQ(SystemProfileString(ours, edit[0], edit[1]), SystemProfileString(system, edit[0], edit[1]))
            << edit[0] << "/" << edit[1];
}

TEST(WindowsProfile, SettingsLiveInTheWindowsDirectory) {
    char windows[MAX_PATH + 1] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    ScopedEnv windir("WINDIR", "");
    EXPECT_EQ(platform::SettingsDirectory(), windows);
    EXPECT_EQ(platform::SettingsFilePath(), std::string(windows) + "\\VELTA.INI");
}

// The access list of path in the system's own notation (SDDL): "P" for protected from the
// parent's, one "(...)" per entry, "ID" among the flags of an inherited one.
std::string AccessListOf(const std::string& path) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &sd) != ERROR_SUCCESS)
        return "unreadable";
    char* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
    std::string result = text ? text : "";
    LocalFree(text);
    LocalFree(sd);
    return result;
}

bool MakeFolderWith(const std::string& path, const char* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr)) return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, sd, FALSE};
    const bool made = CreateDirectoryA(path.c_str(), &attributes);
    LocalFree(sd);
    return made;
}

// A folder moved from "user" into the quarantine keeps what protected it there: the quarantine
// and its day folder hold the entries of "user" as their own, and the moved folder its own.
TEST(WindowsFiles, TheQuarantineTakesTheAccountFoldersProtection) {
    TempDir dir;
    const std::string user = dir.file("user"), account = dir.file("user\\ann");
    const std::string quarantine = dir.file("Quarantine"), day = dir.file("Quarantine\\20260101");
    // Administrators everything, Users to read, for the folder and all below it; ann's folder
    // adds everything for Everyone of its own.
    const char* const userSddl = "D:P(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)";
    ASSERT_TRUE(MakeFolderWith(user, userSddl));
    ASSERT_TRUE(MakeFolderWith(account, "D:(A;OICI;FA;;;WD)"));
    const std::string userList = AccessListOf(user), accountList = AccessListOf(account);
    // Wine keeps a folder's security as the Linux permission bits and shows one default list for
    // every folder; there only the comparisons below can be made.
    const bool keepsLists = userList == userSddl;
    if (keepsLists) {
        EXPECT_NE(accountList.find("(A;OICI;FA;;;WD)"), std::string::npos) << accountList;
    }

    for (const std::string& folder : {quarantine, day}) {
        EXPECT_EQ(platform::CreateDirectoryLike(folder, user), 0);
        EXPECT_EQ(AccessListOf(folder), userList) << folder;
    }
    EXPECT_EQ(platform::MoveFile(account, day + "\\ann"), 0);
    EXPECT_EQ(AccessListOf(day + "\\ann"), accountList);
    EXPECT_EQ(platform::CreateDirectoryLike(dir.file("other"), dir.file("missing")), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(platform::PathExists(dir.file("other")));
    if (!keepsLists)
        GTEST_SKIP() << "this system keeps no access list given to a folder (" << userList
                     << " for every folder): the lists were compared, their entries not shown";
}

TEST(WindowsRandom, FollowsTheRuntimesRand) {
    for (unsigned seed : {1u, 12345u, 0xFFFFFFFFu}) {
        std::srand(seed);
        platform::SeedRandom(seed);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(platform::NextRandom(), std::rand()) << seed << " #" << i;
    }
}

// Wine makes no short (8.3) names, through which "*.htm" also finds "page.html" on a Windows
// volume that keeps them; the patterns here leave short names out of play.
TEST(WindowsSearch, FindFirstFileMatchesAsWildcardMatch) {
    TempDir dir;
    const char* const names[] = {"page.htm", "Page2.HTML", "noext", "a.b.c", "616E6E", "user.ini", "x.gif"};
    for (const char* name : names) WriteBytes(dir.file(name), "");
    for (const char* pattern : {"*.*", "*", "*.htm*", "PAGE?.*", "noext.*", "*.b.*", "616e6e.*", "USER.INI", "?.gif"}) {
        std::vector<std::string> found;
        for (const auto& entry : platform::FindEntries(dir.file(pattern))) found.push_back(entry.name);
        // "." and ".." come first in this order; the other names in the file system's own order.
        const std::size_t dots = platform::WildcardMatch(pattern, ".") ? 2 : 0;
        std::vector<std::string> expected(dots ? std::vector<std::string>{".", ".."} : std::vector<std::string>{});
        for (const char* name : names)
            if (platform::WildcardMatch(pattern, name)) expected.push_back(name);
        ASSERT_EQ(found.size(), expected.size()) << pattern;
        std::sort(found.begin() + dots, found.end());
        std::sort(expected.begin() + dots, expected.end());
        EXPECT_EQ(found, expected) << pattern;
    }
}

TEST(WindowsFiles, FailuresCarryTheSystemsCodes) {
    TempDir dir;
    WriteBytes(dir.file("a.gif"), "GIF");
    WriteBytes(dir.file("b.gif"), "other");
    WriteBytes(dir.file("kept.txt"), "kept");
    SetFileAttributesA(dir.file("kept.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    std::filesystem::create_directory(dir.path() / "folder");
    // In order: each row acts on what the rows before it left.
    const struct {
        const char* what;
        platform::ErrorCode got, expected;
    } cases[] = {
        {"copy onto a file", platform::CopyFileNoReplace(dir.file("a.gif"), dir.file("B.GIF")), ERROR_FILE_EXISTS},
        {"copy of nothing", platform::CopyFileNoReplace(dir.file("none.gif"), dir.file("c.gif")), ERROR_FILE_NOT_FOUND},
        {"move onto a file", platform::MoveFile(dir.file("a.gif"), dir.file("b.gif")), ERROR_ALREADY_EXISTS},
        {"delete a folder", platform::DeleteFile(dir.file("folder")), ERROR_ACCESS_DENIED},
        {"create an existing folder", platform::CreateDirectory(dir.file("FOLDER")), ERROR_ALREADY_EXISTS},
        {"remove a file as a folder", platform::RemoveDirectory(dir.file("a.gif")), ERROR_DIRECTORY},
        {"replace a read-only file", platform::WriteFileAtomically(dir.file("kept.txt"), "new"), ERROR_ACCESS_DENIED},
        {"delete a read-only file", platform::DeleteFile(dir.file("KEPT.TXT")), ERROR_ACCESS_DENIED},
        {"copy", platform::CopyFileNoReplace(dir.file("a.gif"), dir.file("c.gif")), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
    EXPECT_EQ(ReadBytes(dir.file("b.gif")), "other");
    EXPECT_EQ(ReadBytes(dir.file("c.gif")), "GIF");
    EXPECT_EQ(ReadBytes(dir.file("kept.txt")), "kept");
    EXPECT_EQ(ListNames(dir.path().string()),
              (std::vector<std::string>{"a.gif", "b.gif", "c.gif", "folder", "kept.txt"}));
}

// A replaced file keeps its attributes; one not there yet is made; one held by a reader without
// delete sharing stays as it was. Wine's ReplaceFile carries nothing over from the replaced file,
// so the attributes are checked on Windows only.
TEST(WindowsFiles, ReplacingKeepsTheReplacedFileOrLeavesItWhole) {
    TempDir dir;
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    for (const char* name : {"hidden.dat", "held.dat", "relative.dat"}) WriteBytes(dir.file(name), "old");
    const DWORD attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    SetFileAttributesA(dir.file("hidden.dat").c_str(), attributes);
    HANDLE reader = CreateFileA(dir.file("held.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    char current[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(dir.path().string().c_str());
    const struct {
        const char* name;
        platform::ErrorCode got, expected;
        const char* content;
    } cases[] = {
        {"hidden.dat", platform::WriteFileAtomically(dir.file("hidden.dat"), "new"), 0, "new"},
        {"missing.dat", platform::WriteFileAtomically(dir.file("missing.dat"), "new"), 0, "new"},
        {"held.dat", platform::WriteFileAtomically(dir.file("held.dat"), "new"), ERROR_SHARING_VIOLATION, "old"},
        {"relative.dat", platform::WriteFileAtomically("relative.dat", "new"), 0, "new"},
    };
    SetCurrentDirectoryA(current);
    CloseHandle(reader);
    for (const auto& c : cases) {
        EXPECT_EQ(c.got, c.expected) << c.name;
        EXPECT_EQ(ReadBytes(dir.file(c.name)), c.content) << c.name;
    }
    if (!wine) {
        EXPECT_EQ(GetFileAttributesA(dir.file("hidden.dat").c_str()) & attributes, attributes);
    }
    std::vector<std::string> names = ListNames(dir.path().string());
    // A failed ReplaceFile of Wine leaves its own backup file "rfXXXX.tmp"; Windows leaves none.
    if (wine) std::erase_if(names, [](const std::string& n) { return n.starts_with("rf") && n.ends_with(".tmp"); });
    EXPECT_EQ(names, (std::vector<std::string>{"held.dat", "hidden.dat", "missing.dat", "relative.dat"}));
}

// The texts themselves differ: Wine has its own message table ("File not found." where Windows
// says "The system cannot find the file specified."). Each goes into log lines: one line, without
// the line break that FormatMessage ends it with, and the code's number where there is no text.
TEST(WindowsFiles, SystemErrorTextIsFormatMessagesTextOnOneLine) {
    for (const DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_DISK_FULL, ERROR_SHARING_VIOLATION}) {
        const std::string text = platform::SystemErrorText(static_cast<platform::ErrorCode>(code));
        EXPECT_GT(text.size(), 2u) << code;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << code;
        EXPECT_NE(text.back(), ' ') << code;
    }
    EXPECT_EQ(platform::SystemErrorText(0x2FFFFFFF), "error 805306367");
}

// Windows writes the digits and ".TMP" in upper case, Wine in lower case and without leading
// zeros, so a small unique number gives fewer than four digits there.
TEST(WindowsFiles, TemporaryFilesTakeTheSystemsNames) {
    TempDir dir;
    platform::AtomicFile file(dir.file("USER.KEY"), "VT");
    ASSERT_TRUE(file.isOpen());
    std::string name = platform::FileNameOf(file.temporaryPath());
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    ASSERT_GE(name.size(), 7u) << name;
    ASSERT_LE(name.size(), 10u) << name;
    EXPECT_EQ(name.substr(0, 2), "VT");
    EXPECT_EQ(name.find_first_not_of("0123456789ABCDEF", 2), name.size() - 4) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".TMP");
}

}  // namespace

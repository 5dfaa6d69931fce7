// The Windows tree removal against what another program can do meanwhile: the folder being emptied
// cannot be moved away, a folder swapped for a file after it was listed goes as that file, read-only
// files stay, and names that Win32 paths would change are reached as written. (Wine makes no
// junctions or symbolic links, so those are not tried here.)
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/FaultInjection.h"
#include "platform/FolderRemoval.h"
#include "platform/win/WindowsApi.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

TEST(WindowsFolderRemoval, TheFolderCannotBeMovedAwayAndASwappedFolderIsNotEntered) {
    TempDir dir;
    const std::string account = dir.file("account");
    fs::create_directories(account + "\\sub\\inner");
    WriteBytes(account + "\\sub\\inner\\mine.txt", "mine");
    bool accountMoved = false, swapped = false;
    platform::fault::BeforeDescend([&] {  // "sub" is listed as a folder, not yet entered
        if (swapped) return;
        accountMoved = MoveFileExA(account.c_str(), dir.file("account-moved").c_str(), 0) != 0;
        swapped = MoveFileExA((account + "\\sub").c_str(), dir.file("moved-away").c_str(), 0) != 0;
        WriteBytes(account + "\\sub", "a file now");
    });

    EXPECT_TRUE(platform::RemoveFolderTree(account));
    platform::fault::Reset();

    EXPECT_TRUE(swapped);
    EXPECT_FALSE(accountMoved || Exists(dir.file("account-moved")));
    EXPECT_FALSE(Exists(account));
    EXPECT_EQ(ReadBytes(dir.file("moved-away\\inner\\mine.txt")), "mine");
}

TEST(WindowsFolderRemoval, ReadOnlyFilesStayAndTheRemovalSaysSo) {
    struct Case {
        const char* readOnly;
        bool spareUserIni;  // removeAllBut("USER.INI") instead of removeRest
    };
    for (const Case c : {Case{"user.ini", true}, Case{"sub\\locked.txt", false}}) {
        SCOPED_TRACE(c.readOnly);
        TempDir dir;
        const std::string account = dir.file("account");
        fs::create_directories(account + "\\sub");
        WriteBytes(account + "\\user.ini", "ini");
        WriteBytes(account + "\\sub\\locked.txt", "locked");
        const std::string readOnly = account + "\\" + c.readOnly;
        ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
        {
            platform::FolderRemoval removal(account);
            EXPECT_FALSE(c.spareUserIni ? removal.removeAllBut("USER.INI") : removal.removeRest());
        }
        EXPECT_TRUE(Exists(readOnly));
        EXPECT_TRUE(Exists(account));
        SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(WindowsFolderRemoval, NamesThatWin32PathsWouldChangeAreRemovedAsWritten) {
    TempDir dir;
    const std::string account = dir.file("account");
    fs::create_directories(account);
    std::wstring deep = L"\\\\?\\" + fs::absolute(account).wstring();
    for (int level = 0; level < 3; ++level) {  // past MAX_PATH
        deep += L"\\" + std::wstring(100, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    for (const std::wstring name : {L"ends in a dot.", L"ends in a space "}) {
        HANDLE file = CreateFileW((deep + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }

    EXPECT_TRUE(platform::RemoveFolderTree(account));
    EXPECT_FALSE(Exists(account));
}

}  // namespace

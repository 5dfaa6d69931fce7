// The key file's share mode: while Dormix reads a key file nobody writes it, and a file that
// another program holds open for writing is not read at all.
#include <gtest/gtest.h>

#include "dormix/keyindex/KeyFile.h"
#include "platform/win/WindowsApi.h"
#include "tests/keyindex/KeyFileWriter.h"
#include "tests/support/TempDir.h"

namespace {

HANDLE OpenForWriting(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(KeyFileShare, AReaderKeepsWritersOutAndAWriterKeepsTheReaderOut) {
    TempDir dir;
    const std::string path = dir.file("USER.KEY");
    WriteKeyFile(path, NumberedRecords(3));
    {
        keyindex::KeyFile file;
        ASSERT_TRUE(file.open(path));
        EXPECT_EQ(OpenForWriting(path), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        keyindex::KeyFile second;
        EXPECT_TRUE(second.open(path)) << "readers share the file";
    }
    HANDLE writer = OpenForWriting(path);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    keyindex::KeyFile file;
    EXPECT_FALSE(file.open(path));
    CloseHandle(writer);
    EXPECT_TRUE(file.open(path));
    char record[256];
    EXPECT_EQ(file.readAt(256, record, sizeof record), 256);
    EXPECT_EQ(std::string(record), NumberedKey(2));
}

}  // namespace

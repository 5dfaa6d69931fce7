#include <gtest/gtest.h>

#ifdef _WIN32
TEST(DiskFull, NeedsAFileSizeLimit) { GTEST_SKIP() << "a full disk is made with fork and RLIMIT_FSIZE, which Windows does not have"; }
#else
// A real full disk, made with a file-size limit in a child process: the write comes back short,
// then fails; the old file must stay whole and no temporary file may remain.
#include <cerrno>
#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/SafeWrite.h"
#include "tests/support/TempDir.h"

namespace {

// Runs WriteFileAtomically in a child limited to limit bytes per file; the child's exit code is
// the error code it got (0 for success).
int WriteInLimitedChild(const std::string& path, const std::string& content, rlim_t limit) {
    pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(255);
        platform::ErrorCode e = platform::WriteFileAtomically(path, content);
        ::_exit(e > 0 && e < 255 ? e : (e == 0 ? 0 : 254));
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(DiskFull, TheOldFileSurvivesAWriteThatDoesNotFit) {
    TempDir dir;
    const std::string target = dir.file("bannerfile.txt");
    std::string oldContent;
    for (int i = 0; i < 500; ++i) oldContent += "image" + std::to_string(i) + ".gif,Company,Product,1\r\n";
    WriteBytes(target, oldContent);
    const std::string bigContent(1 << 20, 'r');

    EXPECT_EQ(WriteInLimitedChild(target, bigContent, 64 * 1024), EFBIG);
    EXPECT_EQ(ReadBytes(target), oldContent);
    EXPECT_EQ(ListNames(dir.path().string()), std::vector<std::string>{"bannerfile.txt"});

    // With room enough the same child succeeds, so the failure above was the limit's doing.
    EXPECT_EQ(WriteInLimitedChild(target, bigContent, 4 << 20), 0);
    EXPECT_EQ(ReadBytes(target), bigContent);
}

}  // namespace
#endif

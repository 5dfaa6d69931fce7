// The program run from a shell, as a scheduler runs it: exit codes, output and the files on disk.
#include <filesystem>

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "dormix/scan/AuditLog.h"
#include "dormix/scan/PendingDeletions.h"
#include "platform/FolderLock.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct ProcessRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class DormixCommandLineTest : public ::testing::Test {
protected:
    DormixCommandLineTest() {
        fs::create_directories(dir.file("windows"));
        WriteBytes(dir.file("windows/VELTA.INI"), "[PROGRAM]\r\nPATH=" + install.paths().installPath + "\r\n");
        annFolder = install.addAccount("ann", LogonDaysBefore(std::time(nullptr), 90));
        install.addAccount("bob", LogonDaysBefore(std::time(nullptr), 3));
        install.addAccount("nina", std::nullopt);
        install.writeKeyFiles({"ann", "bob"});
        install.writeTervoxUsers({"ann", "bob"});
    }

    ProcessRun run(const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WINDIR"), QString::fromStdString(dir.file("windows")));
        environment.insert(QStringLiteral("ACCTKIT_DB"), QString::fromStdString(install.tervoxDb()));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none"));  // no display to be had
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(DORMIX_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    TempDir dir;
    DormixInstallation install{dir.path().string()};
    std::string annFolder;
};

TEST_F(DormixCommandLineTest, RefusesBadUsageWithTheUsageText) {
    const std::pair<QStringList, std::string> cases[] = {
        {{QStringLiteral("--days"), QStringLiteral("30"), QStringLiteral("--yes")}, "--yes needs --tervox"},
        {{QStringLiteral("--days=30"), QStringLiteral("--tervox=maybe")}, "--tervox takes yes or no"},
        {{QStringLiteral("--yes"), QStringLiteral("--tervox=no")}, "Missing --days N"},
        {{QStringLiteral("--days=30"), QStringLiteral("now")}, "Unexpected argument: now"},
        {{QStringLiteral("--bogus")}, "Unknown option 'bogus'"},
    };
    std::vector<std::pair<QStringList, std::string>> all(std::begin(cases), std::end(cases));
    for (const char* days : {"1,000", "1.5", "3e2", "9O", "0x10", "+30", "0", "-5", ""}) {
        const QStringList deleting = {QStringLiteral("--yes"), QStringLiteral("--tervox=no"), QStringLiteral("--days")};
        all.push_back({deleting + QStringList{QString::fromLatin1(days)},
                       std::string("--days takes a whole number from 1 up, not \"") + days + "\".\n"});
    }
    const auto before = TreeSnapshot(dir.path().string());
    for (const auto& [arguments, why] : all) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        const ProcessRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind(why, 0), 0u) << result.err;
        EXPECT_NE(result.err.find("Usage:"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(TreeSnapshot(dir.path().string()), before);
}

TEST_F(DormixCommandLineTest, ADryRunListsAndChangesNothing) {
    const auto before = TreeSnapshot(dir.path().string());
    const ProcessRun result = run({QStringLiteral("--days"), QStringLiteral("30")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Would delete ann (" + annFolder + "), last logon "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(", 90 days ago\n"), std::string::npos);
    EXPECT_NE(result.out.find("nina, has no user.ini file\n"), std::string::npos);
    EXPECT_EQ(result.out.find("bob"), std::string::npos);
    EXPECT_NE(result.out.find("1 account(s) would be deleted. Nothing was deleted"), std::string::npos);
    EXPECT_EQ(TreeSnapshot(dir.path().string()), before);
}

TEST_F(DormixCommandLineTest, YesDeletesWithTheSameLogsAndRecord) {
    const ProcessRun result = run({QStringLiteral("--days"), QStringLiteral("30"), QStringLiteral("--yes"), QStringLiteral("--tervox=no")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Deleting account 1 of 1: ann\nSuccessfully deleted 1 account(s)!\n");
    EXPECT_FALSE(Exists(annFolder));
    EXPECT_EQ(install.log(), "nina, has no user.ini file \r\n");
    const std::string audit = ReadBytes(AuditLogPath(install.paths().installPath));
    EXPECT_NE(audit.find("\tann\t" + annFolder + "\t"), std::string::npos) << audit;
    EXPECT_NE(audit.find("\tkeys: removed\tTervox user: kept\r\n"), std::string::npos) << audit;
}

// Pending accounts are shown as the next run finishes them; a name's line break prints no line.
TEST_F(DormixCommandLineTest, ADryRunShowsPendingAccountsAndNamesForgeNoLines) {
    const PendingBatch pending{PendingStage::MailServer, false, {{annFolder, std::nullopt, std::nullopt, true}}, std::nullopt};
    for (const char* entry : {"/mail", "/addresses.txt"}) fs::remove_all(annFolder + entry);  // emptied down to its user.ini
    ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(install.paths().installPath), pending));
    const std::string forged = install.addAccount("x\nThere were no dormant accounts found\\x0A", "2020/1/1");
    const std::string shown = "x\\x0AThere were no dormant accounts found\\\\x0A";
    const ProcessRun dry = run({QStringLiteral("--days"), QStringLiteral("30")});
    EXPECT_NE(dry.out.find("Would finish deleting ann (" + annFolder + "), pending from an interrupted run\n"), std::string::npos);
    EXPECT_EQ(dry.out.find("Would delete ann"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("Would delete " + shown + " ("), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("\n2 account(s) would be deleted."), std::string::npos);
    const ProcessRun yes = run({QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=no")});
    EXPECT_NE(yes.out.find(": " + shown + "\n"), std::string::npos) << yes.out;
    for (const std::string& out : {dry.out, yes.out}) EXPECT_EQ(out.find("\nThere"), std::string::npos) << out;
    EXPECT_FALSE(Exists(annFolder) || Exists(forged));
}

TEST_F(DormixCommandLineTest, ExitCodesTellWhatWentWrong) {
    const QStringList deleteArguments = {QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=yes")};
    const ProcessRun version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("dormix ", 0), 0u);
    EXPECT_EQ(run({QStringLiteral("--help")}).exitCode, 0);

    WriteBytes(install.paths().logPath, "the running scan's line \r\n");
    const auto before = TreeSnapshot(dir.path().string());
    auto running = std::make_unique<platform::FolderLock>(install.paths().installPath, platform::FolderLock::Wait::No);
    EXPECT_EQ(run(deleteArguments).exitCode, 4);
    EXPECT_EQ(TreeSnapshot(dir.path().string()), before);  // the running scan keeps its log
    running.reset();

    fs::remove_all(install.paths().installPath + "/Log");
    const ProcessRun noLog = run(deleteArguments);
    EXPECT_EQ(noLog.exitCode, 4);
    EXPECT_NE(noLog.out.find("Unable to create file "), std::string::npos);
    EXPECT_TRUE(Exists(annFolder));

    WriteBytes(dir.file("windows/VELTA.INI"), "[PROGRAM]\r\n");
    const ProcessRun notInstalled = run(deleteArguments);
    EXPECT_EQ(notInstalled.exitCode, 3);
    EXPECT_EQ(notInstalled.out, "Velta must be installed.\n");
}

}  // namespace

// Under a grace period --yes quarantines; --list-deleted, --restore and --purge work on the quarantine.
TEST_F(DormixCommandLineTest, TheQuarantineIsListedRestoredAndPurgedFromTheCommandLine) {
    WriteBytes(dir.file("windows/VELTA.INI"),
               "[PROGRAM]\r\nPATH=" + install.paths().installPath + "\r\n[DORMIX]\r\nGRACEDAYS=30\r\n");
    ASSERT_EQ(run({QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=yes")}).exitCode, 0);
    EXPECT_FALSE(fs::exists(annFolder));
    const ProcessRun listed = run({QStringLiteral("--list-deleted")});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_NE(listed.out.find("ann (616E6E), last logon "), std::string::npos) << listed.out;
    EXPECT_NE(run({QStringLiteral("--days=30")}).out.find("In quarantine: ann (616E6E), last logon "), std::string::npos);
    const ProcessRun purged = run({QStringLiteral("--purge")});  // nothing is over its period yet
    EXPECT_EQ(purged.exitCode, 0);
    EXPECT_EQ(purged.out, "");
    const ProcessRun refused = run({QStringLiteral("--restore"), QStringLiteral("bob"), QStringLiteral("ann")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("bob is not in quarantine."), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find("Restored ann"), std::string::npos) << refused.out;
    EXPECT_TRUE(fs::exists(annFolder));
    EXPECT_EQ(run({QStringLiteral("--purge"), QStringLiteral("--days=3")}).exitCode, 2);
}

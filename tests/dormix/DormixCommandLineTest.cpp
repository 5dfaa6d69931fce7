// The program run from a shell, as a scheduler runs it: exit codes, what goes to standard output
// and what to standard error, and the files on disk.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "dormix/keyindex/RemoveUserKeys.h"
#include "dormix/quarantine/Quarantine.h"
#include "dormix/scan/AuditLog.h"
#include "dormix/scan/DeletionWarnings.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/scan/PendingDeletions.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "dormix/scan/RunPlan.h"
#include "dormix/scan/ScanReport.h"
#include "dormix/warn/UtcTime.h"
#include "dormix/warn/WarnedLog.h"
#include "platform/FolderLock.h"
#include "tests/scan/fixture/DormixInstallation.h"
#include "tests/support/TempDir.h"
#ifndef _WIN32
#include "tests/support/LocalSmtpServer.h"
#endif

namespace fs = std::filesystem;

namespace {

struct ProcessRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

const QStringList kDelete = {QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=no")};

// An installation with one dormant account (ann), one in use, one that cannot be judged.
struct CommandLineInstallation {
    CommandLineInstallation() {
        fs::create_directories(dir.file("windows"));
        WriteBytes(dir.file("windows/VELTA.INI"), "[PROGRAM]\r\nPATH=" + install.paths().installPath + "\r\n");
        annFolder = install.addAccount("ann", "2020/1/5");
        install.addAccount("bob", LogonDaysBefore(std::time(nullptr), 3));
        install.addAccount("nina", std::nullopt);
        install.writeKeyFiles({"ann", "bob"});
        install.writeTervoxUsers({"ann", "bob"});
    }

    // Starts the program; whileRunning, when given, is called with the running process; standard
    // output goes to outputFile when one is named.
    ProcessRun run(const QStringList& arguments, const std::function<void(QProcess&)>& whileRunning = {},
                   const QString& outputFile = {}) const {
        QProcess process;
        if (!outputFile.isEmpty()) process.setStandardOutputFile(outputFile);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WINDIR"), QString::fromStdString(dir.file("windows")));
        environment.insert(QStringLiteral("ACCTKIT_DB"), QString::fromStdString(install.tervoxDb()));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none"));  // no display to be had
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(DORMIX_PROGRAM), arguments);
        if (whileRunning) whileRunning(process);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    std::string logFolder() const { return install.paths().installPath + "/Log"; }

    TempDir dir;
    DormixInstallation install{dir.path().string()};
    std::string annFolder;
};

class DormixCommandLineTest : public ::testing::Test, protected CommandLineInstallation {};

// The reason and where to read more, not the whole help.
TEST_F(DormixCommandLineTest, RefusesBadUsageWithItsReason) {
    const std::pair<QStringList, std::string> cases[] = {
        {{QStringLiteral("--days"), QStringLiteral("30"), QStringLiteral("--yes")}, "--yes needs --tervox"},
        {{QStringLiteral("--days=30"), QStringLiteral("--tervox=maybe")}, "--tervox takes yes or no"},
        {{QStringLiteral("--days=30"), QStringLiteral("--format=xml")}, "--format takes text or csv"},
        {{QStringLiteral("--yes"), QStringLiteral("--tervox=no")}, "Missing --days N"},
        {{QStringLiteral("--days=30"), QStringLiteral("now")}, "Unexpected argument: now"},
        {{QStringLiteral("--bogus")}, "Unknown option 'bogus'"},
        {{QStringLiteral("--restore")}, "--restore needs the names of the accounts."},
        {{QStringLiteral("--purge"), QStringLiteral("--days=3")}, "--list-deleted, --restore and --purge are used alone."},
        {{QStringLiteral("--ages"), QStringLiteral("--yes"), QStringLiteral("--tervox=no")},
         "--ages only counts; it is not used with --yes or --tervox."},
    };
    std::vector<std::pair<QStringList, std::string>> all(std::begin(cases), std::end(cases));
    for (const char* days : {"1,000", "1.5", "3e2", "9O", "0x10", "+30", "0", "-5", ""}) {
        const QStringList deleting = {QStringLiteral("--yes"), QStringLiteral("--tervox=no"), QStringLiteral("--days")};
        all.push_back({deleting + QStringList{QString::fromLatin1(days)},
                       std::string("--days takes a whole number from 1 up, not \"") + days + "\"." + kLineEnd});
    }
    const auto before = TreeSnapshot(dir.path().string());
    for (const auto& [arguments, why] : all) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        const ProcessRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind(why, 0), 0u) << result.err;
        const std::string tryHelp = "Try 'dormix --help'." + kLineEnd;
        EXPECT_EQ(result.err.find(kLineEnd + tryHelp), result.err.size() - tryHelp.size() - kLineEnd.size()) << result.err;
        EXPECT_EQ(result.err.find("Usage:"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(TreeSnapshot(dir.path().string()), before);
}

TEST_F(DormixCommandLineTest, ADryRunListsAndChangesNothing) {
    const auto before = TreeSnapshot(dir.path().string());
    const ProcessRun result = run({QStringLiteral("--days"), QStringLiteral("30")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Would delete ann (" + EscapedForLine(annFolder) + "), last logon 2020-01-05, "),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("nina, has no user.ini file" + kLineEnd), std::string::npos);
    EXPECT_EQ(result.out.find("bob"), std::string::npos);
    EXPECT_NE(result.out.find("1 account(s) would be deleted. Nothing was deleted"), std::string::npos);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(TreeSnapshot(dir.path().string()), before);
}

// --ages: the table (or CSV) from the dry run's judging, the number to go equal to the dry run's.
TEST_F(DormixCommandLineTest, AgesCountTheAccountsAsTheDryRunJudgesThem) {
    const auto before = TreeSnapshot(dir.path().string());
    const ProcessRun dryRun = run({QStringLiteral("--days=30"), QStringLiteral("--quiet")});
    ASSERT_EQ(dryRun.out.rfind("1 account(s) would be deleted.", 0), 0u) << dryRun.out;
    const std::string bands[] = {"up to 30 days", "31-60 days", "61-90 days", "91-180 days", "181-365 days",
                                 "1-2 years", "more than 2 years", "never logged on / no date"};
    const int counts[] = {1, 0, 0, 0, 0, 0, 1, 1};  // bob, ann, nina
    std::string table = "Last Logon                    Accounts" + kLineEnd, csv = "Last Logon,Accounts\r\n";
    for (std::size_t i = 0; i < std::size(bands); ++i) {
        table += bands[i] + std::string(37 - bands[i].size(), ' ') + std::to_string(counts[i]) + kLineEnd;
        csv += bands[i] + "," + std::to_string(counts[i]) + "\r\n";
    }
    const std::string going = "More than 30 days: 1 account(s) would be deleted." + kLineEnd;
    const ProcessRun text = run({QStringLiteral("--ages"), QStringLiteral("--days=30")});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out, table + going);
    EXPECT_EQ(text.err, "");
    const ProcessRun asCsv = run({QStringLiteral("--ages"), QStringLiteral("--days=30"), QStringLiteral("--format=csv")});
    EXPECT_EQ(asCsv.exitCode, 0);
    EXPECT_EQ(asCsv.out, csv);
    EXPECT_EQ(asCsv.err, going);
#ifndef _WIN32
    const ProcessRun full = run({QStringLiteral("--ages"), QStringLiteral("--days=30"), QStringLiteral("--format=csv")}, {},
                                 QStringLiteral("/dev/full"));
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err, going + "Standard output could not be written in full." + kLineEnd);
#endif
    const ProcessRun byDefault = run({QStringLiteral("--ages")});
    EXPECT_EQ(byDefault.exitCode, 0);
    EXPECT_EQ(byDefault.out, table + "More than 90 days: 1 account(s) would be deleted." + kLineEnd);
    EXPECT_EQ(TreeSnapshot(dir.path().string()), before);
}

// Every exit code but the usage error's, each with what goes to standard output and to standard
// error: "out" is the whole of standard output (or, with a '*' at its end, how it begins), "err"
// a text that standard error holds ("" for none at all).
struct ExitCase {
    const char* name;
    QStringList arguments;
    std::function<void()> setUp;
    int exitCode;
    std::string out;
    std::string err;
    bool annDeleted;
};

std::vector<ExitCase> ExitCases(CommandLineInstallation& at) {
    const std::string folder = EscapedForLine(at.annFolder);  // its backslashes doubled on Windows
    const std::string deleted = "Deleted ann (" + folder + "), last logon 2020-01-05" + kLineEnd;
    const std::string summary = "Successfully deleted 1 account(s)!" + kLineEnd;
    const std::string header = "User Name,Account Folder,Last Logon,Days Since,Note\r\n";
    const std::string pending = PendingDeletionsPath(at.install.paths().installPath);
    const std::string gone = at.dir.file("gone");
    const std::string settings = at.dir.file("windows/VELTA.INI");
    const std::string installPath = at.install.paths().installPath;
    const auto noDatabase = [&at] { fs::remove(at.install.tervoxDb()); };
    const auto noLog = [&at] { fs::remove_all(at.logFolder()); };
    const auto badPending = [pending] { WriteBytes(pending, "garbage\n"); };
    const QStringList dryQuiet = {QStringLiteral("--days=30"), QStringLiteral("--quiet")};
    const std::string wouldDelete = "1 account(s) would be deleted.";
    // The accounts moved aside (ann's folder with them) and a file in their place: nothing is told
    // about accounts, not even that none is dormant.
    const std::string user = at.install.userFolder();
    const auto unlistable = [user, installPath] {
        fs::rename(user, installPath + "/accounts");
        WriteBytes(user, "");
    };
    const std::string unlisted = "The account folders in " + user + " cannot be listed: Not a directory. Nothing was deleted." + kLineEnd;
    return {
        {"deleted", kDelete, {}, 0, deleted + summary, "", true},
        {"quiet", kDelete + QStringList{QStringLiteral("--quiet")}, {}, 0, summary, "", true},
        {"csv", kDelete + QStringList{QStringLiteral("--format=csv")}, {}, 0,
         header + "ann," + folder + ",2020-01-05,*", summary, true},
        {"dry run csv", {QStringLiteral("--days=30"), QStringLiteral("--format=csv")}, {}, 0, header + "*", wouldDelete, false},
        {"dry run quiet", dryQuiet, {}, 0, wouldDelete + "*", "", false},
        {"mail server failed", {QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=yes")},
         noDatabase, 1, deleted + summary,
         "The mail server's users of 1 account(s) could not be deleted: the user database could not be opened" + kLineEnd,
         true},
        {"not installed", kDelete, [settings] { WriteBytes(settings, "[PROGRAM]\r\n"); }, 3, "",
         "Velta must be installed." + kLineEnd, false},
        {"no installation folder", kDelete, [settings, gone] { WriteBytes(settings, "[PROGRAM]\r\nPATH=" + gone + "\r\n"); },
         3, "", "The installation folder " + gone + " named in VELTA.INI does not exist." + kLineEnd, false},
        {"no log", kDelete, noLog, 4, "", "Unable to create file ", false},
        {"protected list too long", kDelete,
         [settings, installPath] {
             WriteBytes(settings, "[PROGRAM]\r\nPATH=" + installPath + "\r\n[DORMIX]\r\nPROTECT=" + std::string(300, 'x') + "\r\n");
         },
         4, "", "The list of protected accounts", false},
        {"pending unreadable", kDelete, badPending, 4, "",
         "The unfinished deletions in " + pending + " cannot be read. Nothing was deleted." + kLineEnd, false},
        {"dry run, pending unreadable", dryQuiet, badPending, 4, wouldDelete + "*",
         "The unfinished deletions in " + pending + " cannot be read.", false},
        {"dry run, no log", dryQuiet, noLog, 4, wouldDelete + "*", "Unable to create file ", false},
        {"dry run, no database", dryQuiet + QStringList{QStringLiteral("--tervox=yes")}, noDatabase, 4, wouldDelete + "*",
         "The mail server's user database cannot be used: the user database could not be opened." + kLineEnd, false},
#ifndef _WIN32
        {"accounts unlisted", kDelete, unlistable, 4, "", unlisted, true},
        {"dry run, accounts unlisted", {QStringLiteral("--days=30")}, unlistable, 4, "", unlisted, true},
        {"ages, accounts unlisted", {QStringLiteral("--ages")}, unlistable, 4, "", unlisted, true},
#endif
    };
}

TEST(DormixCommandLine, ExitCodesAndStreamsTellWhatHappened) {
    const std::size_t count = [] {
        CommandLineInstallation at;
        return ExitCases(at).size();
    }();
    for (std::size_t i = 0; i < count; ++i) {
        CommandLineInstallation at;  // each case on an installation of its own
        const ExitCase c = ExitCases(at)[i];
        SCOPED_TRACE(c.name);
        if (c.setUp) c.setUp();
        const ProcessRun result = at.run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        if (!c.out.empty() && c.out.back() == '*') {
            EXPECT_EQ(result.out.rfind(c.out.substr(0, c.out.size() - 1), 0), 0u) << result.out;
        } else {
            EXPECT_EQ(result.out, c.out);
        }
        if (c.err.empty()) {
            EXPECT_EQ(result.err, "");
        } else {
            EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        }
        EXPECT_EQ(Exists(at.annFolder), !c.annDeleted);
    }
}

// Pending accounts are shown as the next run finishes them; a name's line break prints no line.
TEST_F(DormixCommandLineTest, ADryRunShowsPendingAccountsAndNamesForgeNoLines) {
    const PendingBatch pending{PendingStage::MailServer, false, {{annFolder, std::nullopt, std::nullopt, true}}, std::nullopt};
    ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(install.paths().installPath), pending));
    fs::remove_all(annFolder + "/mail");  // as the interrupted batch left it: nothing but "user.ini"
    fs::remove(annFolder + "/addresses.txt");
    RemoveUserKeys(install.paths().installPath, "ann");  // the batch's key records went
    const std::string forged = install.addAccount("x\nThere were no dormant accounts found\\x0A", "2020/1/1");
    const std::string shown = "x\\x0AThere were no dormant accounts found\\\\x0A";
    const ProcessRun dry = run({QStringLiteral("--days"), QStringLiteral("30")});
    const std::string folder = EscapedForLine(annFolder);
    EXPECT_NE(dry.out.find("Would finish deleting ann (" + folder + "), pending from an interrupted run" + kLineEnd),
              std::string::npos);
    EXPECT_EQ(dry.out.find("Would delete ann"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("Would delete " + shown + " ("), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find(kLineEnd + "2 account(s) would be deleted."), std::string::npos);
    const ProcessRun yes = run({QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=no")});
    EXPECT_NE(yes.out.find("Deleted " + shown + " ("), std::string::npos) << yes.out;
    EXPECT_EQ(yes.out.rfind("Deleted ann (" + folder + "), last logon unknown" + kLineEnd, 0), 0u) << yes.out;  // finished first
    for (const std::string& out : {dry.out, yes.out}) EXPECT_EQ(out.find("\nThere"), std::string::npos) << out;
    EXPECT_FALSE(Exists(annFolder) || Exists(forged));
}

TEST_F(DormixCommandLineTest, HelpEndsWithExitCodesEnvironmentAndExamples) {
    const ProcessRun version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Dormix Version 1.0" + kLineEnd + "marqueta-dormix " VELTA_VERSION + kLineEnd);  // as About shows
    const ProcessRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    const auto heading = [&help](const char* title) { return help.out.find(kLineEnd + title + ":" + kLineEnd); };
    const std::size_t status = heading("Exit status"), environment = heading("Environment"), examples = heading("Examples");
    EXPECT_LT(help.out.find("--format <text|csv>"), status);
    EXPECT_LT(status, environment);
    EXPECT_LT(environment, examples);
    EXPECT_NE(help.out.find("  143  stopped by SIGTERM"), std::string::npos);
    EXPECT_NE(help.out.find("  ACCTKIT_DB"), std::string::npos);
    EXPECT_NE(help.out.find("Without arguments, dormix opens its dialog."), std::string::npos);
    EXPECT_NE(help.out.find("  dormix --restore NAME...  "), std::string::npos);
}

// Exit 3 names what is missing: the settings file, its PATH, or the folder PATH names.
TEST_F(DormixCommandLineTest, NoInstallationNamesWhatIsMissing) {
    const std::string settings = (fs::path(dir.file("windows")) / "VELTA.INI").make_preferred().string();
    const std::pair<const char*, std::string> cases[] = {
        {nullptr, "There is no " + settings + "; WINDIR names the folder that holds VELTA.INI."},
        {"[PROGRAM]\r\nHTMLPATH=x\r\n", settings + " names no installation: its [PROGRAM] section has no PATH."},
        {"[PROGRAM]\r\nPATH=/no/such/folder\r\n", "The installation folder /no/such/folder named in VELTA.INI does not exist."},
    };
    for (const auto& [content, missing] : cases) {
        SCOPED_TRACE(missing);
        fs::remove(settings);
        if (content) WriteBytes(settings, content);
        for (const QStringList& arguments : {QStringList{QStringLiteral("--days=30")}, QStringList{QStringLiteral("--purge")}}) {
            const ProcessRun result = run(arguments);
            EXPECT_EQ(result.exitCode, 3);
            EXPECT_NE(result.err.find(missing + kLineEnd), std::string::npos) << result.err;
        }
    }
}

// A signal ends the run after the batch in hand: more dormant accounts than one batch holds, and
// the signal as soon as the first is reported deleted.
TEST(DormixCommandLine, ASignalStopsAfterTheBatchInHand) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows sends no signals to another process";
#else
    for (const auto& [signal, exitCode] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        SCOPED_TRACE(signal);
        CommandLineInstallation at;
        for (int i = 0; i < 1000; ++i) {
            const std::string folder = at.install.userFolder() + "/" + HexFolderName("u" + std::to_string(i));
            fs::create_directory(folder);
            WriteBytes(folder + "/user.ini", "[PROGRAM]\r\nLASTLOGON=2020/1/5\r\n");
        }
        const ProcessRun result = at.run(kDelete, [signal](QProcess& process) {
            while (process.bytesAvailable() < 8 && process.waitForReadyRead(60000)) {
            }
            EXPECT_EQ(process.peek(8), QByteArray("Deleted "));
            ::kill(static_cast<pid_t>(process.processId()), signal);
        });
        EXPECT_EQ(result.exitCode, exitCode) << result.err;
        EXPECT_EQ(result.err, "Stopped: 1000 of 1001 accounts deleted\n");
        const std::string summary = "Successfully deleted 1000 account(s)!\n";
        EXPECT_EQ(result.out.substr(result.out.size() - summary.size()), summary);
        // bob, nina, the dormant account left for the next run and the two key files
        EXPECT_EQ(ListNames(at.install.userFolder()).size(), 5u);
    }
#endif
}

// A run refused because another one works changes nothing, not even that run's log.
TEST_F(DormixCommandLineTest, ARunRefusedByAnotherKeepsItsLog) {
    WriteBytes(install.paths().logPath, "the running scan's line \r\n");
    auto running = std::make_unique<platform::FolderLock>(install.paths().installPath, platform::FolderLock::Wait::No);
    const auto before = TreeSnapshot(dir.path().string());  // with the lock's own file on Windows
    const ProcessRun refused = run(kDelete);
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_EQ(refused.err, "Another scan of " + install.paths().installPath + " is running. Nothing was deleted." + kLineEnd);
    EXPECT_EQ(TreeSnapshot(dir.path().string()), before);  // the running scan keeps its log
    EXPECT_EQ(run({QStringLiteral("--list-deleted")}).out, "The quarantine is empty." + kLineEnd);  // it only reads
    running.reset();
}

#ifndef _WIN32  // the tests' mail server runs on POSIX only
// Warnings by mail end to end against a real mail server on this machine, without and with a
// grace period (then "deleted" is quarantined, by the same rules).
class WarningsByMail : public DormixCommandLineTest, public ::testing::WithParamInterface<bool> {
protected:
    void useServer(const LocalSmtpServer& server) const {
        WriteBytes(dir.file("windows/VELTA.INI"), "[PROGRAM]\r\nPATH=" + install.paths().installPath +
                                                      "\r\n[DORMIX]\r\nWARNDAYS=7\r\nSMTP=" + server.url() +
                                                      "\r\nMAILFROM=postmaster@example.org\r\nMAILDOMAIN=example.org\r\n" +
                                                      (GetParam() ? "GRACEDAYS=30\r\n" : ""));
    }
};

INSTANTIATE_TEST_SUITE_P(GracePeriod, WarningsByMail, ::testing::Bool());

TEST_P(WarningsByMail, FirstAndDeletesOnlyAfterTheWarningDays) {
    const std::time_t now = std::time(nullptr);
    const std::string carlFolder = install.addAccount("carl", LogonDaysBefore(now, 90));  // refused by the server
    install.addAccount("dora", LogonDaysBefore(now, 26));                                // within the warning days
    const std::string eveFolder = install.addAccount("eve", LogonDaysBefore(now, 40));   // warned before her logon
    fs::create_directories(dir.file("mail"));
    LocalSmtpServer server(dir.file("mail"), {"carl@example.org"});
    useServer(server);
    const std::string warned = WarnedLogPath(install.paths().installPath);
    const std::time_t ahead = now + 10 * 86400;  // recorded while the clock ran ahead: counts as not sent
    WriteBytes(warned, WarnedLine("eve", now - 50 * 86400, "eve@example.org", "250 OK") +
                           WarnedLine("ann", ahead, "ann@example.org", "250 OK"));

    const ProcessRun dry = run({QStringLiteral("--days"), QStringLiteral("30")});
    EXPECT_EQ(dry.exitCode, 0);
    EXPECT_NE(dry.out.find("; its warning dated " + UtcStampText(ahead) + " lies ahead of the clock\n"), std::string::npos)
        << dry.out;
    EXPECT_NE(dry.out.find("ann, to be warned by mail; goes on "), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("\n4 account(s) would be warned by mail.\nThere were no dormant accounts found"),
              std::string::npos) << dry.out;
    const ProcessRun ages = run({QStringLiteral("--ages"), QStringLiteral("--days=30")});  // warned first, as above
    EXPECT_NE(ages.out.find("\nMore than 30 days: 0 account(s) would be deleted.\n"), std::string::npos) << ages.out;
    EXPECT_TRUE(server.messages().empty());

    const ProcessRun first = run({QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=no")});
    EXPECT_EQ(first.exitCode, 1);
    EXPECT_EQ(first.err, "1 warning(s) could not be sent through " + server.url() + "; those accounts were kept:\n"
                         "carl (carl@example.org): 550 5.1.1 No such user here\n"
                         "1 warning(s) in " + warned + " are dated ahead of the clock and count as not sent:\n"
                         "ann: " + UtcStampText(ahead) + "\n");
    EXPECT_NE(first.out.find("3 account(s) were warned by mail."), std::string::npos) << first.out;
    EXPECT_NE(first.out.find(std::string(kNoDormantAccounts) + "\n3 dormant account(s) were warned by mail and are kept until "),
              std::string::npos) << first.out;
    EXPECT_TRUE(fs::exists(annFolder));
    EXPECT_TRUE(fs::exists(eveFolder));  // her old warning predates her last logon: warned again
    ASSERT_EQ(server.messages().size(), 3u);
    const std::string waits = run({QStringLiteral("--days=30")}).out;
    EXPECT_NE(waits.find("ann, warned by mail on " + LogonDateText(now) + "; goes on "), std::string::npos) << waits;
    EXPECT_NE(waits.find("carl, to be warned by mail; goes on "), std::string::npos);

    // Eight days on: the warnings lie that much further back. The server is down by now.
    const std::string lines = ReadBytes(warned);
    std::string moved;
    for (std::size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1) {
        moved += UtcStampText(*ReadUtcStamp(lines.substr(at, 20)) - 8 * 86400) + lines.substr(at + 20, end + 1 - at - 20);
    }
    WriteBytes(warned, moved);
    server.stop();
    const ProcessRun second = run({QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=no")});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err.find("carl (carl@example.org): Couldn't connect to server\n"), std::string::npos) << second.err;
    EXPECT_FALSE(fs::exists(annFolder));
    EXPECT_FALSE(fs::exists(eveFolder));
    EXPECT_TRUE(fs::exists(carlFolder));  // never warned: kept
    EXPECT_TRUE(fs::exists(install.folderOf("dora")));
    if (!GetParam()) return;

    // In quarantine nobody is warned; the dry run shows the quarantine and who is to be warned.
    fs::create_directories(dir.file("mail2"));
    LocalSmtpServer up(dir.file("mail2"));
    useServer(up);
    const std::string both = run({QStringLiteral("--days=30")}).out;
    EXPECT_NE(both.find("In quarantine: ann ("), std::string::npos) << both;
    EXPECT_NE(both.find("carl, to be warned by mail; goes on "), std::string::npos) << both;
    EXPECT_EQ(run(kDelete).exitCode, 0);
    ASSERT_EQ(up.messages().size(), 1u);
    EXPECT_NE(up.messages()[0].find("\r\nTo: carl@example.org\r\n"), std::string::npos);
}

// A signal while the warnings go stops them after the message in hand: the run says what was sent
// and what not, and exits as for a signal elsewhere.
TEST_P(WarningsByMail, ASignalStopsTheWarningsAfterTheMessageInHand) {
    constexpr int kAccounts = 200;
    for (int i = 0; i < kAccounts; ++i) install.addAccount("u" + std::to_string(i), LogonDaysBefore(std::time(nullptr), 40));
    fs::create_directories(dir.file("mail"));
    LocalSmtpServer server(dir.file("mail"));
    useServer(server);
    const ProcessRun result = run(kDelete, [&](QProcess& process) {
        while (!fs::exists(dir.file("mail/000001.eml")) && process.state() != QProcess::NotRunning) process.waitForFinished(1);
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    });
    EXPECT_EQ(result.exitCode, 143) << result.err;
    const std::size_t sent = server.messages().size();
    EXPECT_LT(sent, static_cast<std::size_t>(kAccounts));
    EXPECT_NE(result.out.find(std::to_string(sent) + " account(s) were warned by mail."), std::string::npos) << result.out;
    EXPECT_NE(result.err.find(std::to_string(kAccounts + 1 - sent) + " warning(s) could not be sent through " + server.url() + "; those accounts were kept:\n"),
              std::string::npos) << result.err;
    EXPECT_NE(result.err.find("@example.org): not sent: the run was stopped\n"), std::string::npos);
    EXPECT_EQ(ReadWarnedLog(WarnedLogPath(install.paths().installPath)).lastWarned.size(), sent);
}
#endif

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
    EXPECT_EQ(purged.out.rfind("Nothing is due for purging; the next purge is due on ", 0), 0u) << purged.out;
    const ProcessRun refused = run({QStringLiteral("--restore"), QStringLiteral("bob"), QStringLiteral("ann")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "bob is not in quarantine." + kLineEnd);
    EXPECT_NE(refused.out.find("Restored ann"), std::string::npos) << refused.out;
    EXPECT_TRUE(fs::exists(annFolder));
    EXPECT_EQ(run({QStringLiteral("--list-deleted")}).out, "The quarantine is empty." + kLineEnd);
    EXPECT_EQ(run({QStringLiteral("--purge")}).out, "The quarantine is empty." + kLineEnd);
    EXPECT_EQ(run({QStringLiteral("--purge"), QStringLiteral("--days=3")}).exitCode, 2);
}

namespace {

// Moves every entry of the quarantine days back, as if its account had been quarantined then.
void Backdate(const std::string& install, int days) {
    for (QuarantineEntry entry : ListQuarantine(install)) {
        const std::string folder = QuarantinedFolderPath(install, entry);
        fs::remove(EntryFilePath(install, entry, entry.stage));
        entry.quarantinedOn -= days * 86400;
        entry.day = DayOfRun(entry.quarantinedOn);
        fs::create_directories(DayFolder(install, entry.day));
        fs::rename(folder, QuarantinedFolderPath(install, entry));
        WriteEntryFile(install, entry);
    }
}

}  // namespace

// Each account in quarantine keeps its period when GRACEDAYS goes back to 0; every run says what
// it purged, what it could not purge and what waits, and exits 1 while a due purge fails.
TEST_F(DormixCommandLineTest, EveryRunTellsItsPurgesItsFailuresAndWhatWaits) {
    const auto grace = [&](const char* days) {
        WriteBytes(dir.file("windows/VELTA.INI"),
                   "[PROGRAM]\r\nPATH=" + install.paths().installPath + "\r\n[DORMIX]\r\nGRACEDAYS=" + days + "\r\n");
    };
    const QStringList deleting = {QStringLiteral("--days=30"), QStringLiteral("--yes"), QStringLiteral("--tervox=yes")};
    grace("30");
    const std::string zz = install.addFolder("zz", "2020/1/5");  // a folder that names no user
    const ProcessRun first = run(deleting);
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_NE(first.out.find("2 account(s) wait in quarantine; the next purge is due on "), std::string::npos) << first.out;
    EXPECT_NE(run({QStringLiteral("--list-deleted")}).out.find(" (zz), last logon "), std::string::npos);
    EXPECT_EQ(run({QStringLiteral("--restore"), QStringLiteral("zz")}).exitCode, 0);
    EXPECT_TRUE(fs::exists(zz));

    grace("0");
    const std::time_t now = std::time(nullptr);
    EXPECT_NE(run({QStringLiteral("--list-deleted")}).out.find(", purged on " + LogonDateText(*PurgeDay(DayOfRun(now), 30))),
              std::string::npos);
    Backdate(install.paths().installPath, 31);
    const std::string db = install.tervoxDb();
    fs::rename(db, db + ".away");
    const ProcessRun failing = run(deleting);
    EXPECT_EQ(failing.exitCode, 1);
    EXPECT_NE(failing.err.find("1 account(s) in quarantine could not be purged"), std::string::npos) << failing.err;
    const ProcessRun purge = run({QStringLiteral("--purge")});
    EXPECT_EQ(purge.exitCode, 1);
    EXPECT_NE(purge.err.find("ann could not be purged: the user database could not be opened"), std::string::npos) << purge.err;
    EXPECT_NE(run({QStringLiteral("--list-deleted")}).out.find("last failure: the user database could not be opened"),
              std::string::npos);

    fs::rename(db + ".away", db);
    const ProcessRun done = run(kDelete);  // nothing dormant: --yes answers the purge's question, whatever --tervox
    EXPECT_EQ(done.exitCode, 0) << done.err;
    QuarantineEntry shown;
    shown.day = DayOfRun(now - 31 * 86400);
    shown.folderName = HexFolderName("ann");
    EXPECT_NE(done.out.find("Purged ann (" + QuarantinedFolderPath(install.paths().installPath, shown) + ")\n"),
              std::string::npos) << done.out;
    EXPECT_NE(done.out.find("Purged 1 account(s) whose grace period was over."), std::string::npos) << done.out;
    EXPECT_EQ(ReadUserDb(db).size(), 1u);  // bob's
}

namespace {

// What the plan does with the user's account: the kind of step it takes.
std::string PlanKind(const RunPlan& plan, const std::string& user) {
    const auto named = [&](const auto& list) {
        return std::any_of(list.begin(), list.end(), [&](const auto& a) { return a.userName == user; });
    };
    if (named(plan.pending)) return "finish";
    if (named(plan.due)) return "purge";
    for (const RefusedEntry& refused : plan.notPurged)
        if (refused.first.userName == user) return "left in quarantine";
    const char* const kinds[] = {"keep", plan.quarantines() ? "quarantine" : "delete", "log", "protected"};
    for (const AccountJudgement& account : plan.accounts)
        if (account.userName == user) return kinds[static_cast<int>(account.verdict)];
    return "keep";
}

}  // namespace

// One step of each kind: the dry run prints it, the plan that the Preview shows holds it, and the
// run with --yes takes it.
TEST_F(DormixCommandLineTest, TheDryRunThePreviewsPlanAndTheRunAgreeOnEveryStep) {
    const std::string path = install.paths().installPath;
    WriteBytes(dir.file("windows/VELTA.INI"),
               "[PROGRAM]\r\nPATH=" + path + "\r\n[DORMIX]\r\nGRACEDAYS=30\r\nPROTECT=postmaster\r\n");
    install.addAccount("otto", "2020/1/5");
    ASSERT_EQ(run(kDelete).exitCode, 0);  // ann and otto go into quarantine, due for purging 40 days on
    Backdate(path, 40);
    WriteBytes(dir.file("windows/VELTA.INI"),  // otto protected since: his purge is refused
               "[PROGRAM]\r\nPATH=" + path + "\r\n[DORMIX]\r\nGRACEDAYS=30\r\nPROTECT=postmaster,otto\r\n");
    install.addAccount("cleo", "2020/1/5");
    install.addAccount("postmaster", "2020/1/5");
    const std::string hank = install.addAccount("hank", "2020/1/5");  // as a batch ended in the middle left it
    for (const auto& entry : fs::directory_iterator(hank))
        if (entry.path().filename() != "user.ini") fs::remove_all(entry.path());
    ASSERT_TRUE(WritePendingDeletions(PendingDeletionsPath(path),
                                      {PendingStage::MailServer, false, {{hank, std::nullopt, std::nullopt, true}}, 30}));
    install.writeKeyFiles({"bob", "cleo", "postmaster"});
    const ScopedEnv settings("WINDIR", dir.file("windows"));
    const RunPlan plan = PlanRun(30, install.paths(), ReadProtectedAccounts(), std::time(nullptr));
    const std::string dryRun = run({QStringLiteral("--days=30")}).out;
    const ProcessRun done = run(kDelete);
    const auto quarantined = [&](const std::string& user) {
        const std::vector<QuarantineEntry> entries = ListQuarantine(path);
        return std::any_of(entries.begin(), entries.end(), [&](const QuarantineEntry& e) { return e.userName == user; });
    };
    const struct {
        const char* user;
        const char* kind;
        std::string dryLine;
        bool taken;
    } steps[] = {
        {"hank", "finish", "Would finish deleting hank (", !fs::exists(hank)},
        {"ann", "purge", "Would purge ann (", done.out.find("Purged ann (") != std::string::npos && !quarantined("ann")},
        {"cleo", "quarantine", "Would quarantine cleo (", quarantined("cleo") && !fs::exists(install.folderOf("cleo"))},
        {"nina", "log", "nina, has no user.ini file", install.log().find("nina, has no user.ini file") != std::string::npos},
        {"postmaster", "protected", "postmaster, protected", fs::exists(install.folderOf("postmaster"))},
        {"otto", "left in quarantine", "otto (",
         dryRun.find("), would not be purged: otto is a protected account.") != std::string::npos &&
             dryRun.find("\n1 account(s) in quarantine would be purged.") != std::string::npos && quarantined("otto") &&
             done.err.find("otto: otto is a protected account.") != std::string::npos},
    };
    EXPECT_EQ(done.exitCode, 1) << done.err;  // otto's purge refused
    for (const auto& step : steps) {
        SCOPED_TRACE(step.user);
        EXPECT_EQ(PlanKind(plan, step.user), step.kind);
        EXPECT_NE(("\n" + dryRun).find("\n" + step.dryLine), std::string::npos) << dryRun;
        EXPECT_TRUE(step.taken) << done.out;
    }
}

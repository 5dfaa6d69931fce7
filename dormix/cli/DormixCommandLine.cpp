#include "dormix/cli/DormixCommandLine.h"

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "dormix/cli/ConsoleMessageBoxes.h"
#include "dormix/cli/DryRun.h"
#include "dormix/cli/QuarantineCommands.h"
#include "dormix/scan/AccountList.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DayCount.h"
#include "dormix/scan/DeleteDormantAccount.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "dormix/scan/ScanDormantAccounts.h"
#include "dormix/warn/RunWarnings.h"
#include "dormix/warn/smtp/SmtpSender.h"
#include "common/VeltaSettings.h"
#include "dormix/scan/ProgramVersion.h"
#include "platform/Console.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/SystemLog.h"
#include "platform/qt/HelpAndVersion.h"

namespace {

struct Options {
    QCommandLineOption days{QStringLiteral("days"),
                            QStringLiteral("Accounts whose last logon lies more than N days back are dormant; "
                                           "N is a whole number from 1 up."),
                            QStringLiteral("N")};
    QCommandLineOption yes{QStringLiteral("yes"),
                           QStringLiteral("Delete the dormant accounts; without it, only list them.")};
    QCommandLineOption tervox{
        QStringLiteral("tervox"),
        QStringLiteral("Delete the accounts' mail-server users as well (yes) or keep them (no); required with --yes."),
        QStringLiteral("yes|no")};
    QCommandLineOption listDeleted{QStringLiteral("list-deleted"),
                                   QStringLiteral("List the deleted accounts kept in quarantine and when each is purged.")};
    QCommandLineOption restore{QStringLiteral("restore"),
                               QStringLiteral("Restore the accounts named after it from the quarantine.")};
    QCommandLineOption purge{QStringLiteral("purge"),
                             QStringLiteral("Purge the quarantined accounts whose grace period is over, and nothing else.")};
    QCommandLineOption ages{QStringLiteral("ages"),
                            QStringLiteral("Count the accounts by time since their last logon, and how many the "
                                           "number of days would delete (90 without --days); nothing is changed.")};
    QCommandLineOption quiet{QStringLiteral("quiet"), QStringLiteral("Print only the summary and the problems.")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("text (the default), or csv: the accounts as the Preview saves them."),
                              QStringLiteral("text|csv"), QStringLiteral("text")};
};

const char* const kDescription =
    "Deletes the web-mail accounts whose users have not logged on for more than N days.\n"
    "\n"
    "Without arguments, dormix opens its dialog. With them it runs without a window:\n"
    "  dormix --days N                         list what a deletion would do; nothing is changed\n"
    "  dormix --days N --yes --tervox=yes|no   delete the dormant accounts\n"
    "  dormix --ages [--days N]                count the accounts by time since their last logon\n"
    "  dormix --list-deleted                   list the accounts in quarantine\n"
    "  dormix --restore NAME...                restore the named accounts from the quarantine\n"
    "  dormix --purge                          purge the accounts whose grace period is over";

const char* const kHelpEnd =
    "\nExit status:\n"
    "  0    every dormant account was deleted, or none was found (a dry run: nothing in the way);\n"
    "       also when accounts were warned by mail and kept\n"
    "  1    the run went on, but something could not be done: an account, its key records or its\n"
    "       mail-server user could not be deleted; a quarantined account due for purging could not\n"
    "       be purged; a warning could not be sent or recorded; a log stopped taking lines after\n"
    "       accounts were deleted; --restore could not restore a named account; --purge could\n"
    "       not purge an account or record it\n"
    "  2    wrong usage\n"
    "  3    no installation: VELTA.INI missing (in WINDIR, or /etc when WINDIR is not set) or\n"
    "       unreadable, no PATH in its [PROGRAM] section, or the folder it names is missing\n"
    "  4    refused before anything was deleted: another run holds the installation (for\n"
    "       --days with --yes, --restore and --purge; a dry run and --list-deleted do not wait\n"
    "       for it); a log in the Log folder is a link or cannot be written (with --purge:\n"
    "       deleted.log); the folder of the account folders cannot be listed (--ages too); the\n"
    "       unfinished deletions of an earlier run cannot be read; the account folders and key\n"
    "       files cannot be told apart; the protected list is too long; GRACEDAYS cannot be\n"
    "       read; the quarantine cannot be made beside the account folders; the warnings'\n"
    "       settings, message or record cannot be read; with --tervox=yes in a dry run, the mail\n"
    "       server's user database cannot be used\n"
    "  130  stopped by SIGINT after the account or the warning in hand\n"
    "  143  stopped by SIGTERM after the account or the warning in hand\n"
    "\nEnvironment:\n"
    "  WINDIR      the folder that holds VELTA.INI\n"
    "  ACCTKIT_DB  the mail server's user database\n"
    "\nExamples:\n"
    "  dormix --days 90                          list what a deletion would do\n"
    "  dormix --days 90 --yes --tervox=no --quiet   delete, from cron\n"
    "  dormix --ages --days 180 --format=csv     the accounts' ages as CSV\n";

// --ages without --days: a quarter of a year, a common choice of threshold.
const char* const kAgesDefaultDays = "90";

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signal) { stopSignal = signal; }

void PrintToError(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// The reason and where to read more: the whole help would bury the one line that matters.
int BadUsage(const QString& why) {
    PrintToError(why + QStringLiteral("\nTry 'dormix --help'.\n"));
    return kExitUsage;
}

// The paths of the installation, or false after the reason and what is missing: the settings
// file (and the variable that finds it), its PATH, or the folder that PATH names.
bool LoadInstallation(ConsoleMessageBoxes& boxes, DormixPaths& paths) {
    if (!LoadDormixPaths(boxes, paths)) {
        const std::string settings = platform::SettingsFilePath();
        const char* windir = std::getenv("WINDIR");
        if (!platform::PathExists(settings)) {
            PrintLine("There is no " + settings +
                          (windir && *windir ? "; WINDIR names the folder that holds VELTA.INI."
                                             : "; WINDIR is not set, so VELTA.INI is looked for in /etc."),
                      stderr);
        } else if (InstallationMissingText() == "Velta must be installed.") {
            PrintLine(settings + " names no installation: its [PROGRAM] section has no PATH.", stderr);
        }
        return false;
    }
    if (!platform::IsDirectory(paths.installPath)) {
        PrintLine("The installation folder " + paths.installPath + " named in VELTA.INI does not exist.", stderr);
        return false;
    }
    return true;
}

// How many folders the counter lets pass between two counts while they are read.
constexpr int kReadingStep = 1000;

// Prints each account once it is deleted and, to a person watching, how far the run has got.
class ConsoleProgress : public ScanProgress {
public:
    explicit ConsoleProgress(const OutputStyle& style)
        : style_(style), counter_(!style.quiet && platform::StandardErrorIsTerminal()) {}

    // The CSV's header comes once the accounts are judged at the latest, so that a run that
    // deletes none still prints a list, an empty one. The counter counts this run's accounts.
    void counted(int dormant) override {
        if (counterShown_) std::fputs("\r\x1b[K", stderr);  // the reading count makes way
        counterShown_ = false;
        dormant_ = dormant;
        counted_ = 0;
        header();
    }
    // To a person watching, how many folders are read while the accounts are judged.
    void reading(int count) override {
        if (!counter_ || count % kReadingStep != 0) return;
        std::fprintf(stderr, "\r%s", ReadingCountText(count).c_str());
        counterShown_ = true;
    }
    void deleting(int, int, const std::string&) override {}
    bool stopRequested() override { return stopSignal != 0; }
    void finished(const AccountJudgement& account, const DeletedAccount& result) override {
        if (!result.deleted) return;
        ++counted_;
        header();
        if (style_.csv) {
            print(CsvText({AccountListRow(account)}));
        } else if (!style_.quiet) {
            const std::string logon = account.lastLogon ? LogonDateText(*account.lastLogon) : std::string("unknown");
            print("Deleted " + EscapedForLine(account.userName) + " (" + EscapedForLine(account.folder) + "), last logon " +
                  logon + "\n");
        }
        if (counter_ && dormant_ > 0) {
            std::fprintf(stderr, "\r%s", DeletedCountText(counted_, dormant_).c_str());
            counterShown_ = true;
        }
    }

    // Ends the counter's line, so that what follows starts on a line of its own.
    void end() {
        if (counterShown_) std::fputc('\n', stderr);
    }

private:
    void header() {
        if (!style_.csv || headerDone_) return;
        headerDone_ = true;
        print(CsvText({AccountListHeader()}));
    }

    void print(const std::string& text) {
        if (counterShown_) std::fputs("\r\x1b[K", stderr);  // the counter's line makes way
        if (style_.csv) {
            platform::WriteUnchanged(stdout, text);  // the CSV's own CR LF
            return;
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }

    OutputStyle style_;
    bool counter_;
    bool counterShown_ = false;
    bool headerDone_ = false;
    int dormant_ = 0;
    int counted_ = 0;  // of this run's accounts, those deleted
};

// The report on the two streams (the boxes' texts, problems on standard error) and as the exit code.
int PresentReport(const ScanReport& report, ConsoleMessageBoxes& boxes, const OutputStyle& style) {
    // The purges came before the deletions, after the answer; their lines go with the deletions' lines.
    if (!style.quiet && !style.csv)
        for (const std::string& line : report.quarantine.purged) PrintLine(line);
    ShowScanReport(report, boxes, PurgedLines::Printed);
    switch (report.end) {
        case ScanEnd::Refused:
            return kExitRefused;
        case ScanEnd::Broken:
            return kExitFailures;
        case ScanEnd::Stopped:
            PrintLine("Stopped: " + DeletedCountText(static_cast<int>(report.deleted.size()) - report.pendingFinished,
                                                     report.dormant),
                      stderr);
            return stopSignal == SIGTERM ? kExitTerminated : kExitInterrupted;
        case ScanEnd::Done:
        case ScanEnd::NothingFound:
        case ScanEnd::Cancelled:
            break;
    }
    return report.notDeleted.empty() && report.tervoxFailed == 0 && report.quarantine.notPurged.empty() && !report.warnings.failed()
               ? kExitOk
               : kExitFailures;
}

int Delete(std::int32_t days, const DormixPaths& paths, const ProtectedAccounts& protectedAccounts,
           platform::Answer tervox, std::time_t now, const OutputStyle& style) {
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    ConsoleMessageBoxes boxes(tervox);
    boxes.sendResultsTo(style.results());
    ConsoleProgress progress(style);
    RunWarnings warnings(NewSmtpSender);
    const ScanReport report = ScanDormantAccounts(days, paths, boxes, now, &progress, kDeletionBatch,
                                                  {RunOrigin::CommandLine, std::nullopt, protectedAccounts, OldLog::Delete,
                                                   &warnings});
    progress.end();
    return PresentReport(report, boxes, style);
}

// --list-deleted, --restore NAME... and --purge, each used alone.
int QuarantineCommand(const QCommandLineParser& parser, const Options& options, std::time_t now) {
    const QStringList names = parser.positionalArguments();
    const bool restore = parser.isSet(options.restore);
    if (parser.isSet(options.listDeleted) + restore + parser.isSet(options.purge) > 1 || parser.isSet(options.days) ||
        parser.isSet(options.yes) || parser.isSet(options.tervox) || parser.isSet(options.quiet) ||
        parser.isSet(options.format) || parser.isSet(options.ages))
        return BadUsage(QStringLiteral("--list-deleted, --restore and --purge are used alone."));
    if (restore && names.isEmpty()) return BadUsage(QStringLiteral("--restore needs the names of the accounts."));
    if (!restore && !names.isEmpty()) return BadUsage(QStringLiteral("Unexpected argument: ") + names.first());
    ConsoleMessageBoxes boxes;
    DormixPaths paths;
    if (!LoadInstallation(boxes, paths)) return kExitNotInstalled;
    if (parser.isSet(options.listDeleted)) return ListDeletedCommand(paths, boxes);
    if (parser.isSet(options.purge)) return PurgeCommand(paths, now, boxes);
    std::vector<std::string> users;
    for (const QString& name : names) users.push_back(name.toLocal8Bit().toStdString());
    return RestoreCommand(paths, users, now, boxes);
}

int RunCommand(const QStringList& arguments, std::time_t now) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const Options options;
    parser.addOptions({options.days, options.yes, options.tervox, options.ages, options.quiet, options.format, options.listDeleted,
                       options.restore, options.purge});
    if (!parser.parse(arguments)) return BadUsage(parser.errorText());
    if (parser.isSet(help)) {
        PrintLine(parser.helpText().toLocal8Bit().toStdString() + kHelpEnd);
        return kExitOk;
    }
    if (parser.isSet(version)) {
        PrintLine(std::string(kDormixVersionLine) + "\n" + platform::PackageVersionText().toStdString());
        return kExitOk;
    }
    if (parser.isSet(options.listDeleted) || parser.isSet(options.restore) || parser.isSet(options.purge))
        return QuarantineCommand(parser, options, now);
    if (!parser.positionalArguments().isEmpty())
        return BadUsage(QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first());
    const bool ages = parser.isSet(options.ages);
    if (ages && (parser.isSet(options.yes) || parser.isSet(options.tervox)))
        return BadUsage(QStringLiteral("--ages only counts; it is not used with --yes or --tervox."));
    if (!ages && !parser.isSet(options.days)) return BadUsage(QStringLiteral("Missing --days N."));
    const std::string daysText =
        parser.isSet(options.days) ? parser.value(options.days).toLocal8Bit().toStdString() : kAgesDefaultDays;
    const std::optional<std::int32_t> read = ReadCommandLineDays(daysText);
    if (!read) return BadUsage(QString::fromLocal8Bit(CommandLineDaysRefusal(daysText)));
    const std::int32_t days = *read;
    const QString tervox = parser.value(options.tervox);
    if (parser.isSet(options.tervox) && tervox != QStringLiteral("yes") && tervox != QStringLiteral("no")) {
        return BadUsage(QStringLiteral("--tervox takes yes or no."));
    }
    if (parser.isSet(options.yes) && !parser.isSet(options.tervox)) {
        return BadUsage(QStringLiteral("--yes needs --tervox=yes or --tervox=no."));
    }
    const QString format = parser.value(options.format);
    if (format != QStringLiteral("text") && format != QStringLiteral("csv"))
        return BadUsage(QStringLiteral("--format takes text or csv."));
    const OutputStyle style{parser.isSet(options.quiet), format == QStringLiteral("csv")};

    ConsoleMessageBoxes boxes;
    DormixPaths paths;
    if (!LoadInstallation(boxes, paths)) return kExitNotInstalled;
    const ProtectedAccounts protectedAccounts = ReadProtectedAccounts();
    if (protectedAccounts.cut) {
        PrintLine(kProtectListTooLong, stderr);
        return kExitRefused;
    }
    if (ages) return RunAges(days, paths, protectedAccounts, now, style);
    const bool withTervoxUsers = tervox == QStringLiteral("yes");
    if (!parser.isSet(options.yes)) return RunDryRun(days, paths, protectedAccounts, now, style, withTervoxUsers);
    return Delete(days, paths, protectedAccounts, withTervoxUsers ? platform::Answer::Yes : platform::Answer::No, now,
                  style);
}

}  // namespace

int RunDormixCommandLine(const QStringList& arguments, std::time_t now) {
    const int code = RunCommand(arguments, now);
    // A list or CSV cut short by a full disk is no success.
    if (platform::StandardOutputFailed()) {
        PrintLine("Standard output could not be written in full.", stderr);
        return code == kExitOk ? kExitFailures : code;
    }
    return code;
}

#include "dormix/cli/DormixCommandLine.h"

#include <csignal>
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
#include "platform/Console.h"
#include "platform/FileOps.h"
#include "platform/SystemLog.h"

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
                               QStringLiteral("Restore the named accounts from the quarantine: dormix --restore NAME...")};
    QCommandLineOption purge{QStringLiteral("purge"),
                             QStringLiteral("Purge the quarantined accounts whose grace period is over, and nothing else.")};
    QCommandLineOption quiet{QStringLiteral("quiet"), QStringLiteral("Print only the summary and the problems.")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("text (the default), or csv: the accounts as the Preview saves them."),
                              QStringLiteral("text|csv"), QStringLiteral("text")};
};

const char* const kHelpEnd =
    "\nExit status:\n"
    "  0    every dormant account was deleted, or none was found (a dry run: nothing in the way)\n"
    "  1    some accounts or mail-server users could not be deleted; the run went on\n"
    "  2    wrong usage\n"
    "  3    no installation: VELTA.INI unreadable, no PATH in it, or the folder it names is missing\n"
    "  4    refused before anything was deleted: another run, a log that cannot be written,\n"
    "       unreadable pending deletions, a protected list too long\n"
    "  130  stopped by SIGINT after the batch or the warning in hand\n"
    "  143  stopped by SIGTERM after the batch or the warning in hand\n"
    "\nEnvironment:\n"
    "  WINDIR      the folder that holds VELTA.INI\n"
    "  ACCTKIT_DB  the mail server's user database\n"
    "\nExamples:\n"
    "  dormix --days 90                          list what a deletion would do\n"
    "  dormix --days 90 --yes --tervox=no --quiet   delete, from cron\n";

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signal) { stopSignal = signal; }

void PrintToError(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

int BadUsage(const QCommandLineParser& parser, const QString& why) {
    PrintToError(why + QLatin1Char('\n') + parser.helpText());
    return kExitUsage;
}

// Prints each account once it is deleted and, to a person watching, how far the run has got.
class ConsoleProgress : public ScanProgress {
public:
    explicit ConsoleProgress(const OutputStyle& style)
        : style_(style), counter_(!style.quiet && platform::StandardErrorIsTerminal()) {}

    // The CSV's header comes once the accounts are judged at the latest, so that a run that
    // deletes none still prints a list, an empty one. The counter counts this run's accounts.
    void counted(int dormant) override {
        dormant_ = dormant;
        counted_ = 0;
        header();
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
    // The purges came first in the run; their lines go with the deletions' lines.
    if (!style.quiet && !style.csv)
        for (const std::string& line : report.quarantine.purged) PrintLine(line);
    ShowScanReport(report, boxes);
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
        parser.isSet(options.format))
        return BadUsage(parser, QStringLiteral("--list-deleted, --restore and --purge are used alone."));
    if (restore && names.isEmpty()) return BadUsage(parser, QStringLiteral("--restore needs the names of the accounts."));
    if (!restore && !names.isEmpty()) return BadUsage(parser, QStringLiteral("Unexpected argument: ") + names.first());
    ConsoleMessageBoxes boxes;
    DormixPaths paths;
    if (!LoadDormixPaths(boxes, paths)) return kExitNotInstalled;
    if (parser.isSet(options.listDeleted)) return ListDeletedCommand(paths, boxes);
    if (parser.isSet(options.purge)) return PurgeCommand(paths, now, boxes);
    std::vector<std::string> users;
    for (const QString& name : names) users.push_back(name.toLocal8Bit().toStdString());
    return RestoreCommand(paths, users, now, boxes);
}

}  // namespace

int RunDormixCommandLine(const QStringList& arguments, std::time_t now) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Deletes the web-mail accounts whose users have not logged on for more than N days."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const Options options;
    parser.addOptions({options.days, options.yes, options.tervox, options.quiet, options.format, options.listDeleted,
                       options.restore, options.purge});
    if (!parser.parse(arguments)) return BadUsage(parser, parser.errorText());
    if (parser.isSet(help)) {
        PrintLine(parser.helpText().toLocal8Bit().toStdString() + kHelpEnd);
        return kExitOk;
    }
    if (parser.isSet(version)) {
        PrintLine((QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion())
                      .toLocal8Bit()
                      .toStdString());
        return kExitOk;
    }
    if (parser.isSet(options.listDeleted) || parser.isSet(options.restore) || parser.isSet(options.purge))
        return QuarantineCommand(parser, options, now);
    if (!parser.positionalArguments().isEmpty())
        return BadUsage(parser, QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first());
    if (!parser.isSet(options.days)) return BadUsage(parser, QStringLiteral("Missing --days N."));
    const std::string daysText = parser.value(options.days).toLocal8Bit().toStdString();
    const std::optional<std::int32_t> read = ReadCommandLineDays(daysText);
    if (!read) return BadUsage(parser, QString::fromLocal8Bit(CommandLineDaysRefusal(daysText)));
    const std::int32_t days = *read;
    const QString tervox = parser.value(options.tervox);
    if (parser.isSet(options.tervox) && tervox != QStringLiteral("yes") && tervox != QStringLiteral("no")) {
        return BadUsage(parser, QStringLiteral("--tervox takes yes or no."));
    }
    if (parser.isSet(options.yes) && !parser.isSet(options.tervox)) {
        return BadUsage(parser, QStringLiteral("--yes needs --tervox=yes or --tervox=no."));
    }
    const QString format = parser.value(options.format);
    if (format != QStringLiteral("text") && format != QStringLiteral("csv"))
        return BadUsage(parser, QStringLiteral("--format takes text or csv."));
    const OutputStyle style{parser.isSet(options.quiet), format == QStringLiteral("csv")};

    ConsoleMessageBoxes boxes;
    DormixPaths paths;
    if (!LoadDormixPaths(boxes, paths)) return kExitNotInstalled;
    if (!platform::IsDirectory(paths.installPath)) {
        PrintLine("The installation folder " + paths.installPath + " named in VELTA.INI does not exist.", stderr);
        return kExitNotInstalled;
    }
    const ProtectedAccounts protectedAccounts = ReadProtectedAccounts();
    if (protectedAccounts.cut) {
        PrintLine(kProtectListTooLong, stderr);
        return kExitRefused;
    }
    const bool withTervoxUsers = tervox == QStringLiteral("yes");
    if (!parser.isSet(options.yes)) return RunDryRun(days, paths, protectedAccounts, now, style, withTervoxUsers);
    return Delete(days, paths, protectedAccounts, withTervoxUsers ? platform::Answer::Yes : platform::Answer::No, now,
                  style);
}

#include "dormix/cli/DormixCommandLine.h"

#include <cstdio>
#include <optional>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "dormix/cli/ConsoleMessageBoxes.h"
#include "dormix/cli/DryRun.h"
#include "dormix/cli/QuarantineCommands.h"
#include "dormix/scan/AccountLog.h"
#include "dormix/scan/DayCount.h"
#include "dormix/scan/LineEscape.h"
#include "dormix/scan/ProtectedAccounts.h"
#include "dormix/scan/ScanDormantAccounts.h"

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
};

void PrintToError(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

int BadUsage(const QCommandLineParser& parser, const QString& why) {
    PrintToError(why + QLatin1Char('\n') + parser.helpText());
    return kExitUsage;
}

// Prints each account as it is deleted.
class ConsoleProgress : public ScanProgress {
public:
    void deleting(int number, int count, const std::string& userName) override {
        PrintLine(DeletingAccountText(number, count) + ": " + EscapedForLine(userName));
    }
    bool stopRequested() override { return false; }
};

// The log of the run before goes as the dialog's goes when it opens, but only once this scan holds
// the installation: a run refused because another one works leaves that run's log alone.
int Delete(std::int32_t days, const DormixPaths& paths, platform::Answer tervox, std::time_t now) {
    ConsoleMessageBoxes boxes(tervox);
    ConsoleProgress progress;
    return ScanDormantAccounts(days, paths, boxes, now, &progress, kDeletionBatch, OldLog::Delete) ? kExitOk
                                                                                                   : kExitLogNotWritten;
}

// --list-deleted, --restore NAME... and --purge, each used alone.
int QuarantineCommand(const QCommandLineParser& parser, const Options& options, std::time_t now) {
    const QStringList names = parser.positionalArguments();
    const bool restore = parser.isSet(options.restore);
    if (parser.isSet(options.listDeleted) + restore + parser.isSet(options.purge) > 1 || parser.isSet(options.days) ||
        parser.isSet(options.yes) || parser.isSet(options.tervox))
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
    parser.addOptions({options.days, options.yes, options.tervox, options.listDeleted, options.restore, options.purge});
    if (!parser.parse(arguments)) return BadUsage(parser, parser.errorText());
    if (parser.isSet(help)) {
        PrintLine(parser.helpText().toLocal8Bit().toStdString());
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

    ConsoleMessageBoxes boxes;
    DormixPaths paths;
    if (!LoadDormixPaths(boxes, paths)) return kExitNotInstalled;
    const ProtectedAccounts protectedAccounts = ReadProtectedAccounts();
    if (protectedAccounts.cut) {
        PrintLine(kProtectListTooLong);
        return kExitNotInstalled;
    }
    if (!parser.isSet(options.yes)) {
        PrintDryRun(days, paths, protectedAccounts, now);
        return kExitOk;
    }
    return Delete(days, paths, tervox == QStringLiteral("yes") ? platform::Answer::Yes : platform::Answer::No, now);
}

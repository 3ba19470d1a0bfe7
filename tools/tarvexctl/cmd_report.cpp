#include "appsettings.h"
#include "commands.h"
#include "ctlcommon.h"
#include "datafolder.h"
#include "reportqueuefiles.h"

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>

namespace {
const char kReportUsage[] = "usage: tarvexctl report --pending | --retry-refused";

void printRow(const QStringList& fields) {
    QStringList escaped;
    for (const QString& f : fields)
        escaped << escapeField(f);
    writeOut((escaped.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8().toStdString());
}

QStringList entryFields(const ReportEntry& e) {
    return {e.dateReg, e.timeReg, e.mediaId, QString::number(e.controllerId),
            reportCommandShown(e)};
}

// What waits in every slot, then what was refused, with the database's answer on one line.
int listPending(const QString& folder) {
    int waiting = 0;
    for (const int slot : ReportQueueFiles::slotsIn(folder))
        for (const QueuedReport& r : ReportQueueFiles::peek(folder, slot)) {
            printRow(QStringList{QStringLiteral("waiting")} + entryFields(r.entry));
            ++waiting;
        }
    const QList<RefusedReport> refused = ReportRefusedFile::read(folder);
    for (const RefusedReport& r : refused)
        printRow(
            QStringList{QStringLiteral("refused")} + entryFields(r.entry) +
            QStringList{r.refusedAt.toLocalTime().toString(Qt::ISODate), r.error.simplified()});
    std::fflush(stdout);
    std::fprintf(stderr, "tarvexctl: %d waiting, %d refused in %s\n", waiting, int(refused.size()),
                 folder.toLocal8Bit().constData());
    return kExitOk;
}

// Puts the refused entries into a free slot of the queue, in the form the settings name now
// (the reason to retry is often a corrected MRDBCall): a running program takes them over from
// there, otherwise the next start sends them.
int retryRefused(const QString& folder, ReportForm form) {
    ReportQueueFiles files;
    if (!files.openFirstFree(folder))
        return fail(kExitFailure, files.error());
    int moved = 0;
    QString error;
    const bool ok = ReportRefusedFile::take(
        folder,
        [&](const QList<RefusedReport>& refused) {
            quint64 seq = files.lastSeq();
            for (const RefusedReport& r : refused) {
                ReportEntry entry = r.entry;
                entry.form = form;
                if (!files.append({++seq, entry}))
                    return false;
            }
            moved = int(refused.size());
            return files.sync();
        },
        &error);
    if (!ok)
        return fail(kExitFailure,
                    QStringLiteral("the refused registrations stay where they are: %1")
                        .arg(error.isEmpty() ? files.error() : error));
    std::fprintf(stderr, "tarvexctl: %d refused registrations put back in the report queue\n",
                 moved);
    return kExitOk;
}
} // namespace

int runReportCommand(const Args& args) {
    const QString usage = QString::fromLatin1(kReportUsage);
    if (args.size() != 1)
        return args.empty() ? fail(kExitUsage, usage) : badArgument(args[1], {}, usage);
    const QString folder = tarvexDataFolder();
    if (args[0] == "--pending")
        return listPending(folder);
    if (args[0] == "--retry-refused") {
        CAppSettings settings;
        const auto store = CAppSettings::openStore();
        settings.load(*store, QString());
        return retryRefused(folder, reportFormFromSetting(settings.MRDBCall));
    }
    return badArgument(args[0], {}, usage);
}

#include "appsettings.h"
#include "attendancetable.h"
#include "commands.h"
#include "csvtext.h"
#include "ctlcommon.h"
#include "datafolder.h"
#include "historyfilter.h"
#include "historyjoin.h"
#include "historystore.h"
#include "tarvexdoc.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QSettings>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

namespace {

const char kHistoryUsage[] =
    "usage: tarvexctl history [--folder DIR] [--workspace FILE.VR-12] [--from YYYY-MM-DD[THH:MM]]"
    " [--to YYYY-MM-DD[THH:MM]] [--port N]... [--match TEXT] [--unknown] [--persons] [--csv]"
    " [--count]";
const char kAttendanceUsage[] =
    "usage: tarvexctl attendance [--folder DIR] [--workspace FILE.VR-12]"
    " [--from YYYY-MM-DD[THH:MM]] [--to YYYY-MM-DD[THH:MM]] [--port N]... [--match TEXT]"
    " [--unknown] [--persons] [--csv] [--count]";

struct HistoryOptions {
    std::optional<QString> folder;
    std::optional<QString> workspace;
    HistoryFilter filter;
    bool csv = false;
    bool count = false;
};

std::optional<RegTime> parseMoment(const std::string& text, bool endOfRange) {
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    // The shell splits at the space of "YYYY-MM-DD HH:MM"; on the command line it is the T.
    if (s.size() > 10 && s[10] != QLatin1Char('T'))
        return std::nullopt;
    return parseRegMoment(s, endOfRange);
}

// Returns 0, or the exit status after saying what was wrong.
int parseOptions(const Args& args, const QString& usage, HistoryOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool valued = i + 1 < args.size();
        if (word == "--folder" && valued) {
            o.folder = fileArg(args[++i]);
        } else if (word == "--workspace" && valued) {
            o.workspace = fileArg(args[++i]);
        } else if ((word == "--from" || word == "--to") && valued) {
            const std::optional<RegTime> moment = parseMoment(args[++i], word == "--to");
            if (!moment)
                return fail(kExitUsage, QStringLiteral("%1 needs YYYY-MM-DD or YYYY-MM-DDTHH:MM\n")
                                                .arg(QString::fromLatin1(word.c_str())) +
                                            usage);
            (word == "--from" ? o.filter.from : o.filter.to) = moment;
        } else if (word == "--port" && valued) {
            const std::optional<int> port = parseColumn(args[++i]);
            if (!port || *port < 1 || *port > 255)
                return fail(kExitUsage, QStringLiteral("--port needs a COM port number from 1 "
                                                       "to 255\n") +
                                            usage);
            o.filter.ports.push_back(*port);
        } else if (word == "--match" && valued) {
            o.filter.match = fileArg(args[++i]);
        } else if (word == "--unknown") {
            o.filter.unknownOnly = true;
        } else if (word == "--persons") {
            o.filter.personsOnly = true;
        } else if (word == "--csv") {
            o.csv = true;
        } else if (word == "--count") {
            o.count = true;
        } else {
            return badArgument(
                word, {"--folder", "--workspace", "--from", "--to", "--port", "--match"}, usage);
        }
    }
    if (o.filter.unknownOnly && !o.workspace)
        return fail(kExitUsage,
                    QStringLiteral("--unknown needs --workspace: a medium is unknown when no "
                                   "employee of a workspace has it\n") +
                        usage);
    return kExitOk;
}

// What both commands read: the monthly files, joined to the workspace given.
struct History {
    CTarvexDoc doc;
    CHistoryStore store;
    std::optional<CHistoryJoin> join;
};

int readHistory(const HistoryOptions& o, History& h) {
    QString folder;
    if (o.folder) {
        folder = *o.folder;
    } else {
        CAppSettings settings;
        const auto store = CAppSettings::openStore();
        settings.load(*store, regFilePathDefault(QCoreApplication::applicationDirPath()));
        folder = settings.RegFilePath;
    }
    if (o.workspace) {
        if (const int status = loadWorkspace(*o.workspace, h.doc))
            return status;
    }
    if (!h.store.load(folder))
        return fail(kExitFailure,
                    QFileInfo::exists(folder)
                        ? QStringLiteral("%1: not a folder that can be read").arg(folder)
                        : QStringLiteral("%1: no such folder").arg(folder));
    if (h.store.fileCount() == 0)
        return fail(
            kExitFailure,
            QStringLiteral("%1: no registrations files (TarvexRegs-YYYY-MM.txt)").arg(folder));
    h.join.emplace(codePageSetting());
    h.join->setWorkspace(o.workspace ? &h.doc : nullptr);
    h.join->update(h.store);
    return kExitOk;
}

// The options read and the history with them. Returns 0, or the exit status after saying why
// not.
int prepare(const Args& args, const char* usage, HistoryOptions& o, History& h) {
    if (const int status = parseOptions(args, QString::fromLatin1(usage), o))
        return status;
    return readHistory(o, h);
}

// After the output: the damaged lines, and the files that could not be read (a failure).
int finish(const History& h) {
    // A line cut short at the end is skipped as well, though the control may be finishing it.
    const int damaged = h.store.damagedLines() + (h.store.hasPendingLine() ? 1 : 0);
    std::fflush(stdout);
    if (damaged > 0)
        fail(kExitOk, QStringLiteral("%1 damaged %2 skipped")
                          .arg(damaged)
                          .arg(damaged == 1 ? QStringLiteral("line") : QStringLiteral("lines")));
    int status = kExitOk;
    for (const QString& error : h.store.errors())
        status = fail(kExitFailure, QStringLiteral("cannot read %1").arg(error));
    return status;
}

// Rows go out as comma-separated records or as tab-separated lines.
class RowWriter {
public:
    explicit RowWriter(bool csv) : m_csv(csv) {}
    ~RowWriter() { flush(); }
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    void header(const QStringList& names) {
        if (m_csv)
            row(names);
    }
    void row(const QStringList& fields) {
        if (m_csv) {
            appendCsvRecord(m_out, fields);
        } else {
            for (qsizetype i = 0; i < fields.size(); ++i) {
                if (i > 0)
                    m_out.push_back('\t');
                m_out.append(escapeField(fields[i]).toUtf8().toStdString());
            }
            m_out.push_back('\n');
        }
        if (m_out.size() > (1u << 16))
            flush();
    }
    void flush() {
        writeOut(m_out);
        m_out.clear();
    }

private:
    bool m_csv;
    std::string m_out;
};

void printCount(std::size_t count) {
    writeOut(std::to_string(count) + '\n');
}

} // namespace

int runHistoryCommand(const Args& args) {
    HistoryOptions o;
    History h;
    if (const int status = prepare(args, kHistoryUsage, o, h))
        return status;
    const CHistoryJoin& join = *h.join;
    if (o.count) {
        printCount(countHistory(h.store, join, o.filter));
        return finish(h);
    }
    RowWriter out(o.csv);
    out.header({"date", "time", "com_port", "controller", "media_id", "last_name", "first_name",
                "action", "message"});
    for (const std::uint32_t i : filterHistory(h.store, join, o.filter)) {
        const HistoryRecord& r = h.store.records()[i];
        const CHistoryJoin::Medium& m = join.medium(r.media);
        out.row({regDateText(regDay(r.when)), regTimeText(regSecondOfDay(r.when)),
                 QString::number(r.port), join.controllerText(r.port), m.mediaId, m.lastName,
                 m.firstName, join.action(r.action), join.message(h.store, r)});
    }
    out.flush();
    return finish(h);
}

int runAttendanceCommand(const Args& args) {
    HistoryOptions o;
    History h;
    if (const int status = prepare(args, kAttendanceUsage, o, h))
        return status;
    const CHistoryJoin& join = *h.join;
    CAttendanceTable table;
    table.rebuild(h.store, join, filterHistory(h.store, join, o.filter));
    if (o.count) {
        printCount(table.rows().size());
        return finish(h);
    }
    RowWriter out(o.csv);
    out.header(
        {"date", "media_id", "last_name", "first_name", "first_in", "last_out", "span", "count"});
    for (const AttendanceRow& a : table.rows()) {
        const CHistoryJoin::Medium& m = join.medium(a.media);
        out.row({regDateText(a.day), m.mediaId, m.lastName, m.firstName,
                 regTimeText(regSecondOfDay(a.first)), regTimeText(regSecondOfDay(a.last)),
                 regSpanText(a.span()), QString::number(a.count)});
    }
    out.flush();
    return finish(h);
}

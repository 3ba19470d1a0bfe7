// Imports 100,000 rows from an SQLite table the way the database wizard's command does (the
// import routine with the progress window's step after every row) and compares it with
// tarvexctl query reading the same three columns of the same rows to /dev/null.
//
//   bench_dbimport [ROWS]
//
// Each figure is the best of five runs; the import starts from an empty workspace each time.

#include "adodatabase.h"
#include "adorecordset.h"
#include "dbfixture.h"
#include "dbimport.h"
#include "importprogressdlg.h"
#include "tarvexdoc.h"
#include "testworld.h"

#include <QApplication>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int main(int argc, char** argv) {
    TestWorld world;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;

    const QString fill =
        QStringLiteral("insert into staff with recursive n(i) as (select 1 union all select i + 1 "
                       "from n where i < ") +
        QString::number(rows) +
        QStringLiteral(") select printf('%08X', (i * 2654435761) % 4294967296), 'Lastname' || i, "
                       "'Firstname' || i from n");
    const QString error =
        runStatements("bench.db", {"create table staff(card text, last text, first text)", fill});
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    DbImportSettings settings;
    settings.connection = world.sqliteConnection("bench.db");
    settings.table = QStringLiteral("staff");
    settings.mediaIdColumn = QStringLiteral("card");
    settings.lastNameColumn = QStringLiteral("last");
    settings.firstNameColumn = QStringLiteral("first");

    double importBest = 1e9;
    int imported = 0;
    for (int run = 0; run < 5; ++run) {
        CTarvexDoc doc;
        CImportProgressDlg progress(nullptr);
        const auto start = std::chrono::steady_clock::now();
        const DbImportResult r = ImportDbTable(
            settings, doc, [&](int processed, int total) { progress.step(processed, total); });
        importBest = std::min(importBest, seconds(start));
        imported = r.imported;
    }

    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/tarvexctl");
    double queryBest = 1e9;
    for (int run = 0; run < 5; ++run) {
        QProcess query;
        query.setStandardOutputFile(QProcess::nullDevice());
        const auto start = std::chrono::steady_clock::now();
        query.start(tool, {QStringLiteral("query"), settings.connection,
                           QStringLiteral("select card, last, first from staff")});
        query.waitForFinished(-1);
        queryBest = std::min(queryBest, seconds(start));
        if (query.exitCode() != 0) {
            std::fprintf(stderr, "tarvexctl query failed: %s\n",
                         query.readAllStandardError().constData());
            return 1;
        }
    }

    std::printf("rows: %d, imported: %d\n", rows, imported);
    std::printf("wizard import: %.3f s\n", importBest);
    std::printf("tarvexctl query: %.3f s\n", queryBest);
    std::printf("ratio: %.2f\n", importBest / queryBest);
    return 0;
}

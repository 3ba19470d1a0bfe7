// tarvexctl query: output contract and exit codes.
#include "commands.h"
#include "dbfixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the command with stdout and stderr sent to files of the test world.
Result run(const QStringList& args) {
    const QString outFile = TestWorld::instance()->path("stdout.txt");
    const QString errFile = TestWorld::instance()->path("stderr.txt");
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(1);
    const int savedErr = dup(2);
    const int out =
        open(QFile::encodeName(outFile).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err =
        open(QFile::encodeName(errFile).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    dup2(err, 2);
    Result r;
    r.status = runQueryCommand(args);
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    for (int fd : {out, err, savedOut, savedErr})
        close(fd);
    QFile o(outFile), e(errFile);
    if (o.open(QIODevice::ReadOnly))
        r.out = o.readAll();
    if (e.open(QIODevice::ReadOnly))
        r.err = e.readAll();
    return r;
}
} // namespace

class TestDbQueryCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rows();
    void statementPrintsNothing();
    void failures();
    void usage();

private:
    QString m_conn;
};

void TestDbQueryCommand::initTestCase() {
    const QString error = runStatements(
        "q.db", {"create table e(id integer, name text, photo blob, born date)",
                 "insert into e values(1, 'Alice', x'0a0b', '1990-01-02')",
                 "insert into e values(2, 'Bob' || char(9) || 'x\\y' || char(10), NULL, NULL)"});
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_conn = TestWorld::instance()->sqliteConnection("q.db");
}

void TestDbQueryCommand::rows() {
    const Result r = run({m_conn, "select id, name, photo, born from e order by id"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.out, QByteArray("1\tAlice\t0x0a0b\t1990-01-02 00:00:00\n"
                               "2\tBob\\tx\\\\y\\n\t\t\n"));
    const Result empty = run({m_conn, "select id from e where id > 5"});
    QCOMPARE(empty.status, 0);
    QCOMPARE(empty.out, QByteArray());
}

void TestDbQueryCommand::statementPrintsNothing() {
    const Result r = run({m_conn, "insert into e(id, name) values(3, 'Carol')"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(run({m_conn, "select name from e where id = 3"}).out, QByteArray("Carol\n"));
}

void TestDbQueryCommand::failures() {
    const Result badSql = run({m_conn, "select nope from e"});
    QCOMPARE(badSql.status, 1);
    QCOMPARE(badSql.out, QByteArray());
    QVERIFY2(badSql.err.startsWith("Query = select nope from e\nCADORecordset Error\n"),
             badSql.err.constData());
    const Result badFile = run({TestWorld::instance()->sqliteConnection("absent.db"), "select 1"});
    QCOMPARE(badFile.status, 1);
    QVERIFY2(badFile.err.startsWith("Connection String = "), badFile.err.constData());
    QVERIFY(badFile.err.contains("does not exist."));
    QVERIFY(!QFile::exists(TestWorld::instance()->path("absent.db")));
}

void TestDbQueryCommand::usage() {
    for (const QStringList& args :
         {QStringList(), QStringList({m_conn}), QStringList({m_conn, "select 1", "extra"}),
          QStringList({m_conn, "  "})}) {
        const Result r = run(args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.startsWith("Usage: tarvexctl query CONNECTION-STRING SQL\n"));
        QCOMPARE(r.out, QByteArray());
    }
}

TARVEX_TEST_GUILESS_MAIN(TestDbQueryCommand)
#include "tst_dbquerycommand.moc"

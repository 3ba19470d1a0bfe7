#include "dbserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
const char kPostgresInstall[] = "apt-get install -y postgresql odbc-postgresql";
const char kMariaDbInstall[] = "apt-get install -y mariadb-server odbc-mariadb";
const char kPostgresUser[] = "tarvex";
const char kDatabase[] = "tarvex";

// The user the server runs as: nobody when the tests run as root, else the tests' own.
struct ServerUser {
    bool switchUser = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

ServerUser serverUser() {
    ServerUser u;
    if (::geteuid() != 0)
        return u;
    if (const passwd* pw = ::getpwnam("nobody")) {
        u.switchUser = true;
        u.uid = pw->pw_uid;
        u.gid = pw->pw_gid;
    }
    return u;
}

// The newest PostgreSQL's program folder, empty when none is installed.
QString postgresBin() {
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
            QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin;
    }
    return QString();
}

QString program(const QString& name) {
    return QStandardPaths::findExecutable(name,
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"),
                                           QStringLiteral("/sbin"), QStringLiteral("/bin")});
}

// deathSignal: what the child gets when the test process ends, however it ends (0: nothing),
// so that a test killed by its time-out leaves no server behind.
void prepare(QProcess& p, const QString& folder, int deathSignal = 0) {
    const ServerUser user = serverUser();
    p.setChildProcessModifier([user, deathSignal] {
        // Only async-signal-safe calls here, between fork and exec.
        if (user.switchUser &&
            (::setgroups(0, nullptr) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0))
            ::_exit(126);
        // After the change of user, which clears it.
        if (deathSignal != 0)
            ::prctl(PR_SET_PDEATHSIG, deathSignal);
    });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("HOME"), folder);
    for (const QString& name : env.keys())
        if (name.startsWith(QLatin1String("PG")) || name.startsWith(QLatin1String("MYSQL")))
            env.remove(name);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
}
} // namespace

TestDbServer::TestDbServer(Engine engine) : m_engine(engine) {}

TestDbServer::~TestDbServer() {
    stop();
}

QString TestDbServer::name() const {
    return m_engine == PostgreSQL ? QStringLiteral("PostgreSQL") : QStringLiteral("MariaDB");
}

bool TestDbServer::fail(const QString& text) {
    m_error = text;
    return false;
}

bool TestDbServer::runAsServerUser(const QString& prog, const QStringList& args, int timeoutMs,
                                   QByteArray* output) {
    QProcess p;
    prepare(p, m_dir->path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(prog, args);
    const bool done = p.waitForStarted(10000) && p.waitForFinished(timeoutMs);
    const QByteArray text = p.readAll();
    if (output)
        *output = text;
    if (!done) {
        p.kill();
        p.waitForFinished();
        return fail(
            QStringLiteral("%1 did not finish: %2").arg(prog, QString::fromLocal8Bit(text)));
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return fail(QStringLiteral("%1 failed (%2): %3")
                        .arg(prog)
                        .arg(p.exitCode())
                        .arg(QString::fromLocal8Bit(text).trimmed()));
    return true;
}

bool TestDbServer::initialise() {
    const QString driver = m_engine == PostgreSQL ? QStringLiteral(TARVEX_PG_ODBC_DRIVER)
                                                  : QStringLiteral(TARVEX_MARIADB_ODBC_DRIVER);
    const QString install =
        QString::fromLatin1(m_engine == PostgreSQL ? kPostgresInstall : kMariaDbInstall);
    if (m_engine == PostgreSQL)
        m_bin = postgresBin();
    else if (!program(QStringLiteral("mariadbd")).isEmpty() &&
             !program(QStringLiteral("mariadb-install-db")).isEmpty())
        m_bin = QFileInfo(program(QStringLiteral("mariadbd"))).path();
    if (m_bin.isEmpty())
        return fail(
            QStringLiteral("%1 is not installed; install it with: %2").arg(name(), install));
    if (!QFileInfo::exists(driver))
        return fail(QStringLiteral("the %1 ODBC driver %2 is not installed; install it with: %3")
                        .arg(name(), driver, install));

    // In /tmp, which the server's user can reach, and never in the test world (private to
    // the tests' user).
    m_dir = std::make_unique<QTemporaryDir>(
        QDir::tempPath() + QStringLiteral("/tarvex-%1-XXXXXX").arg(name().toLower()));
    if (!m_dir->isValid())
        return fail(QStringLiteral("no temporary folder: %1").arg(m_dir->errorString()));
    const ServerUser user = serverUser();
    if (user.switchUser &&
        ::chown(QFile::encodeName(m_dir->path()).constData(), user.uid, user.gid) != 0)
        return fail(QStringLiteral("cannot give %1 to the user nobody").arg(m_dir->path()));
    const QString data = m_dir->filePath(QStringLiteral("data"));

    if (m_engine == PostgreSQL) {
        if (!runAsServerUser(m_bin + QStringLiteral("/initdb"),
                             {QStringLiteral("-D"), data, QStringLiteral("-U"),
                              QLatin1String(kPostgresUser), QStringLiteral("--auth=trust"),
                              QStringLiteral("--no-sync"), QStringLiteral("-E"),
                              QStringLiteral("UTF8"), QStringLiteral("--locale=C")},
                             120000))
            return false;
    } else {
        if (!runAsServerUser(program(QStringLiteral("mariadb-install-db")),
                             {QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + data,
                              QStringLiteral("--auth-root-authentication-method=normal"),
                              QStringLiteral("--skip-test-db")},
                             120000))
            return false;
    }
    m_initialised = true;
    return true;
}

bool TestDbServer::start() {
    m_error.clear();
    if (m_running)
        return true;
    if (!m_initialised && !initialise())
        return false;
    const QString folder = m_dir->path();
    const QString data = m_dir->filePath(QStringLiteral("data"));
    m_server = std::make_unique<QProcess>();
    QProcess& server = *m_server;
    // PostgreSQL's immediate shutdown, which its own processes follow.
    prepare(server, folder, m_engine == PostgreSQL ? SIGQUIT : SIGKILL);
    // PostgreSQL logs to its standard error, MariaDB into server.log.
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.setStandardOutputFile(m_dir->filePath(QStringLiteral("server.out")), QIODevice::Append);
    if (m_engine == PostgreSQL) {
        // Only the socket in the folder; fsync off: the tests' data need not survive a crash.
        server.setProgram(m_bin + QStringLiteral("/postgres"));
        server.setArguments({QStringLiteral("-D"), data, QStringLiteral("-k"), folder,
                             QStringLiteral("-h"), QString(), QStringLiteral("-c"),
                             QStringLiteral("fsync=off"), QStringLiteral("-c"),
                             QStringLiteral("full_page_writes=off")});
    } else {
        server.setProgram(m_bin + QStringLiteral("/mariadbd"));
        server.setArguments(
            {QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + data,
             QStringLiteral("--socket=") + m_dir->filePath(QStringLiteral("mysql.sock")),
             QStringLiteral("--skip-networking"),
             QStringLiteral("--pid-file=") + m_dir->filePath(QStringLiteral("pid")),
             QStringLiteral("--log-error=") + m_dir->filePath(QStringLiteral("server.log")),
             QStringLiteral("--innodb-buffer-pool-size=32M"),
             QStringLiteral("--innodb-flush-log-at-trx-commit=0")});
    }
    server.start();
    if (!server.waitForStarted(10000))
        return fail(
            QStringLiteral("%1 does not start: %2").arg(server.program(), server.errorString()));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60000 && server.state() == QProcess::Running) {
        if (client(QStringLiteral("SELECT 1"), false, nullptr).isEmpty()) {
            const QString created = m_engine == PostgreSQL
                                        ? QString()
                                        : client(QStringLiteral("CREATE DATABASE IF NOT EXISTS %1")
                                                     .arg(QLatin1String(kDatabase)),
                                                 false, nullptr);
            m_running = created.isEmpty();
            return m_running || fail(created);
        }
        server.waitForFinished(100);
    }
    QByteArray said;
    for (const char* file : {"server.out", "server.log"}) {
        QFile log(m_dir->filePath(QLatin1String(file)));
        if (log.open(QIODevice::ReadOnly))
            said += log.readAll().right(1000);
    }
    return fail(QStringLiteral("%1 did not come up: %2").arg(name(), QString::fromLocal8Bit(said)));
}

bool TestDbServer::stop() {
    if (!m_running)
        return true;
    m_running = false;
    if (!m_server)
        return true;
    // SIGINT is PostgreSQL's fast shutdown (connections cut), SIGTERM MariaDB's own.
    ::kill(pid_t(m_server->processId()), m_engine == PostgreSQL ? SIGINT : SIGTERM);
    const bool ended = m_server->waitForFinished(60000);
    if (!ended) {
        m_server->kill();
        m_server->waitForFinished();
    }
    m_server.reset();
    return ended || fail(QStringLiteral("%1 did not stop").arg(name()));
}

QString TestDbServer::connectionString() const {
    if (!m_dir)
        return QString();
    if (m_engine == PostgreSQL)
        return QStringLiteral("Driver=PostgreSQL Unicode;Servername=%1;Port=5432;Database=postgres;"
                              "Username=%2")
            .arg(m_dir->path(), QLatin1String(kPostgresUser));
    return QStringLiteral("Driver=MariaDB Unicode;Socket=%1;Database=%2;User=root")
        .arg(m_dir->filePath(QStringLiteral("mysql.sock")), QLatin1String(kDatabase));
}

QString TestDbServer::client(const QString& sql, bool inDatabase, QByteArray* out) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    QStringList args;
    QString prog;
    if (m_engine == PostgreSQL) {
        prog = m_bin + QStringLiteral("/psql");
        args = {QStringLiteral("-X"),  QStringLiteral("-q"),
                QStringLiteral("-h"),  m_dir->path(),
                QStringLiteral("-U"),  QLatin1String(kPostgresUser),
                QStringLiteral("-d"),  QStringLiteral("postgres"),
                QStringLiteral("-v"),  QStringLiteral("ON_ERROR_STOP=1"),
                QStringLiteral("-At"), QStringLiteral("-F"),
                QStringLiteral("\t"),  QStringLiteral("-f"),
                QStringLiteral("-")};
    } else {
        prog = program(QStringLiteral("mariadb"));
        args = {QStringLiteral("--no-defaults"),
                QStringLiteral("--socket=") + m_dir->filePath(QStringLiteral("mysql.sock")),
                QStringLiteral("-u"),
                QStringLiteral("root"),
                QStringLiteral("-N"),
                QStringLiteral("-B"),
                QStringLiteral("--raw")};
        if (inDatabase)
            args << QStringLiteral("-D") << QLatin1String(kDatabase);
    }
    p.start(prog, args);
    if (!p.waitForStarted(10000))
        return QStringLiteral("%1 does not start").arg(prog);
    p.write(sql.toUtf8());
    if (!sql.trimmed().endsWith(u';') && !sql.trimmed().endsWith(QLatin1String("//")))
        p.write(";");
    p.write("\n");
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return QStringLiteral("%1 did not finish").arg(prog);
    }
    if (out)
        *out = p.readAllStandardOutput();
    const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return err.isEmpty() ? QStringLiteral("%1 failed").arg(prog) : err;
    return QString();
}

QString TestDbServer::execute(const QString& sql) {
    if (!m_running)
        return QStringLiteral("the %1 server is not running").arg(name());
    return client(sql, true, nullptr);
}

QStringList TestDbServer::rows(const QString& sql, QString* error) {
    QByteArray out;
    const QString err = m_running ? client(sql, true, &out)
                                  : QStringLiteral("the %1 server is not running").arg(name());
    if (error)
        *error = err;
    QStringList lines = QString::fromUtf8(out).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString TestDbServer::installReportProcedure(const QString& refusedMedia) {
    QString literal = refusedMedia;
    literal.replace(u'\'', QStringLiteral("''"));
    const QString refused =
        refusedMedia.isEmpty() ? QStringLiteral("FALSE") : QStringLiteral("m = '%1'").arg(literal);
    if (m_engine == PostgreSQL)
        return execute(
            QStringLiteral(
                "DROP TABLE IF EXISTS regs;\n"
                "CREATE TABLE regs (n serial PRIMARY KEY, media text, dated text, minute text,"
                " action text, controller_id integer, controller_code integer);\n"
                "CREATE OR REPLACE FUNCTION spOndixReg(m text, d text, t text, a text,"
                " i integer, c integer) RETURNS void LANGUAGE plpgsql AS $$\n"
                "BEGIN\n"
                "  IF %1 THEN RAISE EXCEPTION 'refused for the test: %', m; END IF;\n"
                "  INSERT INTO regs (media, dated, minute, action, controller_id,"
                " controller_code) VALUES (m, d, t, a, i, c);\n"
                "END $$;\n")
                .arg(refused));
    return execute(
        QStringLiteral(
            "DROP TABLE IF EXISTS regs;\n"
            "CREATE TABLE regs (n INT AUTO_INCREMENT PRIMARY KEY, media VARCHAR(64),"
            " dated VARCHAR(32), minute VARCHAR(32), action VARCHAR(8), controller_id INT,"
            " controller_code INT) CHARACTER SET utf8mb4;\n"
            "DROP PROCEDURE IF EXISTS spOndixReg;\n"
            "DELIMITER //\n"
            "CREATE PROCEDURE spOndixReg(m VARCHAR(64), d VARCHAR(32), t VARCHAR(32),"
            " a VARCHAR(8), i INT, c INT)\n"
            "BEGIN\n"
            "  IF %1 THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused for the"
            " test'; END IF;\n"
            "  INSERT INTO regs (media, dated, minute, action, controller_id, controller_code)"
            " VALUES (m, d, t, a, i, c);\n"
            "END//\n"
            "DELIMITER ;\n")
            .arg(refused));
}

QStringList TestDbServer::reportRows(QString* error) {
    return rows(QStringLiteral("SELECT media, dated, minute, action, controller_id, "
                               "controller_code FROM regs ORDER BY n"),
                error);
}

#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A database server of the test's own: PostgreSQL (initdb and pg_ctl) or MariaDB
// (mariadb-install-db and mariadbd), in a temporary folder, listening only on a socket there.
// Run by root, the server runs as the user nobody in a folder nobody owns (PostgreSQL refuses
// root). Starting takes seconds: start one per test program, not per test case.
class TestDbServer {
public:
    enum Engine { PostgreSQL, MariaDB };

    explicit TestDbServer(Engine engine);
    ~TestDbServer();
    TestDbServer(const TestDbServer&) = delete;
    TestDbServer& operator=(const TestDbServer&) = delete;

    // Makes the data folder and starts the server; false with error(), which names the Debian
    // packages to install when a program is missing.
    bool start();
    // Stops the server (a fast shutdown: connections are cut); the data stays for start().
    bool stop();
    bool isRunning() const { return m_running; }
    QString error() const { return m_error; }
    Engine engine() const { return m_engine; }
    QString name() const;

    // The ODBC connection string of the test database, through the driver the test world
    // registers.
    QString connectionString() const;

    // Runs statements through the engine's own client; returns its error output, or an empty
    // text when they ran.
    QString execute(const QString& sql);
    // The rows of a query through the client, fields separated by tabs.
    QStringList rows(const QString& sql, QString* error = nullptr);

    // A table regs (n, media, dated, minute, action, controller_id, controller_code) and the
    // routine spOndixReg inserting its six arguments into it; a non-empty refusedMedia makes
    // it raise an error for that first argument instead. On PostgreSQL a function returning
    // void (the driver turns the call escape into SELECT * FROM spondixreg(...)), on MariaDB a
    // procedure.
    QString installReportProcedure(const QString& refusedMedia = QString());
    // The rows of regs in the order they arrived: media, dated, minute, action, id, code.
    QStringList reportRows(QString* error = nullptr);

private:
    bool initialise();
    bool fail(const QString& text);
    bool runAsServerUser(const QString& program, const QStringList& args, int timeoutMs,
                         QByteArray* output = nullptr);
    QString client(const QString& sql, bool inDatabase, QByteArray* out);

    Engine m_engine;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bin; // the engine's programs
    bool m_initialised = false;
    bool m_running = false;
    QString m_error;
    std::unique_ptr<QProcess> m_server; // a child of the test, which it does not outlive
};

#include "testworld.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cstdlib>

namespace {
TestWorld* g_world = nullptr;

void setEnv(const char* name, const QString& value) {
    ::setenv(name, QFile::encodeName(value).constData(), 1);
}
} // namespace

TestWorld::TestWorld() {
    g_world = this;
    for (const char* sub : {"home", "config", "data", "cache", "runtime", "devices", "odbc"})
        QDir(m_dir.path()).mkpath(sub);
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setEnv("HOME", path("home"));
    setEnv("XDG_CONFIG_HOME", configDir());
    setEnv("XDG_DATA_HOME", dataDir());
    setEnv("XDG_CACHE_HOME", path("cache"));
    setEnv("XDG_RUNTIME_DIR", runtimeDir());
    setEnv("VR12COMM_DEVICES", deviceDir());
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        setEnv("QT_QPA_PLATFORM", "offscreen");

    // Register the ODBC drivers without touching the system's registry.
    QFile ini(path("odbc/odbcinst.ini"));
    if (ini.open(QIODevice::WriteOnly)) {
        ini.write("[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=" TARVEX_SQLITE_ODBC_DRIVER
                  "\nUsageCount=1\n");
        // The servers' drivers, for the tests that start a server (tests/support/dbserver.h).
        ini.write("[PostgreSQL Unicode]\nDescription=PostgreSQL ODBC driver "
                  "(Unicode)\nDriver=" TARVEX_PG_ODBC_DRIVER "\nUsageCount=1\n");
        ini.write("[MariaDB Unicode]\nDescription=MariaDB ODBC driver "
                  "(Unicode)\nDriver=" TARVEX_MARIADB_ODBC_DRIVER "\nUsageCount=1\n");
    }
    QFile(path("odbc/odbc.ini")).open(QIODevice::WriteOnly);
    setEnv("ODBCSYSINI", path("odbc"));
    setEnv("ODBCINI", path("odbc/odbc.ini"));
    QStandardPaths::setTestModeEnabled(false);
}

TestWorld::~TestWorld() {
    if (g_world == this)
        g_world = nullptr;
}

TestWorld* TestWorld::instance() {
    return g_world;
}

QString TestWorld::sqliteConnection(const QString& fileName) const {
    return QStringLiteral("Driver=SQLite3;Database=%1").arg(path(fileName));
}

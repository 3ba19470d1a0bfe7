#include "adodatabase.h"

#include "odbcconnectionstring.h"
#include "odbcregistry.h"
#include "odbctext.h"

#include <sql.h>
#include <sqlext.h>

#include <QFileInfo>

namespace {
const QString kSource = QStringLiteral("CADODataBase");

bool isFalseFlag(const QString& value) {
    const QString v = value.trimmed().toLower();
    return v == QLatin1String("0") || v == QLatin1String("no") || v == QLatin1String("false") ||
           v == QLatin1String("off");
}

const COdbcDriverInfo* findDriver(const QList<COdbcDriverInfo>& drivers, const QString& name) {
    for (const COdbcDriverInfo& d : drivers)
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    return nullptr;
}

// A sentence that says plainly which part of the string is wrong, or empty when the string
// names an installed driver or a defined data source.
QString explainConnectFailure(const COdbcConnectionString& cs) {
    const QString driver = cs.value(QStringLiteral("DRIVER"));
    if (!driver.isEmpty()) {
        const QList<COdbcDriverInfo> drivers = odbcInstalledDrivers();
        const COdbcDriverInfo* info = findDriver(drivers, driver);
        if (!info) {
            if (driver.contains(u'/') && QFileInfo::exists(driver))
                return QString();
            return QStringLiteral("The ODBC driver \"%1\" is not installed.").arg(driver);
        }
        if (info->library.startsWith(u'/') && !QFileInfo::exists(info->library))
            return QStringLiteral("The ODBC driver \"%1\" is registered, but its library \"%2\" "
                                  "does not exist.")
                .arg(driver, info->library);
        return QString();
    }
    const QString dsn = cs.value(QStringLiteral("DSN"));
    if (!cs.has(QStringLiteral("DSN")) && !cs.has(QStringLiteral("FILEDSN")))
        return QStringLiteral("The connection string names neither a driver nor a data source.");
    if (!dsn.isEmpty()) {
        for (const COdbcDataSourceInfo& s : odbcDataSources())
            if (s.name.compare(dsn, Qt::CaseInsensitive) == 0)
                return QString();
        return QStringLiteral("The ODBC data source \"%1\" is not defined.").arg(dsn);
    }
    return QString();
}

bool namesSqliteDriver(const COdbcConnectionString& cs) {
    const QString driver = cs.value(QStringLiteral("DRIVER"));
    if (driver.isEmpty())
        return false;
    const QList<COdbcDriverInfo> drivers = odbcInstalledDrivers();
    const COdbcDriverInfo* info = findDriver(drivers, driver);
    const QString library = info ? info->library : driver;
    return driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive) ||
           library.contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
}
} // namespace

CADODataBase::CADODataBase(OdbcBehaviour behaviour) : m_env(COdbcHandle::Environment(behaviour)) {
    if (m_env)
        odbcInUtf8([this] { m_dbc = COdbcHandle(SQL_HANDLE_DBC, m_env.get()); });
}

CADODataBase::~CADODataBase() {
    Close();
}

void CADODataBase::setError(const CADOError& error) {
    m_lastErrorCode = error.code;
    m_errorDescription = error.description;
    m_lastError = QStringLiteral("Connection String = ") + m_connectionString + u'\n' +
                  adoErrorBlock("CADODataBase Error", error);
}

bool CADODataBase::prepareConnection(QString& effective) {
    const COdbcConnectionString cs(m_connectionString);
    if (!cs.has(QStringLiteral("DATABASE")) || !namesSqliteDriver(cs))
        return true;
    // The SQLite driver ignores the statement's query time-out; its only wait is for a lock,
    // set when connecting, and one statement can wait that long twice (preparing and running).
    if (m_commandTimeout > 0) {
        COdbcConnectionString withWait(effective);
        withWait.set(QStringLiteral("Timeout"), QString::number(m_commandTimeout * 1000 / 2));
        effective = withWait.toString();
    }
    // The SQLite driver creates a missing database file unless told NoCreat: a mistyped path
    // would open an empty database. Only an explicit NoCreat=0 asks for that.
    const bool mayCreate =
        cs.has(QStringLiteral("NOCREAT")) && isFalseFlag(cs.value(QStringLiteral("NOCREAT")));
    if (mayCreate)
        return true;
    const QString file = cs.value(QStringLiteral("DATABASE"));
    if (file.isEmpty() || file == QLatin1String(":memory:") ||
        file.startsWith(QLatin1String("file:")))
        return true;
    const QFileInfo fi(file);
    if (!fi.exists()) {
        setError({AdoCode::Unspecified, kSource,
                  QStringLiteral("The database file \"%1\" does not exist.").arg(file)});
        return false;
    }
    if (fi.isDir()) {
        setError({AdoCode::Unspecified, kSource,
                  QStringLiteral("The database \"%1\" is a folder, not a file.").arg(file)});
        return false;
    }
    if (!cs.has(QStringLiteral("NOCREAT"))) {
        if (!effective.trimmed().endsWith(u';'))
            effective += u';';
        effective += QStringLiteral("NoCreat=1");
    }
    return true;
}

bool CADODataBase::Open(const QString& connection, const QString& user, const QString& password) {
    Close();
    if (!connection.isEmpty())
        m_connectionString = connection;
    if (!m_dbc) {
        setError({AdoCode::OutOfMemory, kSource,
                  QStringLiteral("The ODBC environment could not be created.")});
        return false;
    }
    if (m_connectionString.trimmed().isEmpty()) {
        setError({AdoCode::BadArgument, kSource, QStringLiteral("No connection string given.")});
        return false;
    }
    QString effective = m_connectionString;
    if (!prepareConnection(effective))
        return false;
    if (!user.isEmpty() || !password.isEmpty()) {
        COdbcConnectionString cs(effective);
        if (!user.isEmpty())
            cs.set(QStringLiteral("UID"), user);
        if (!password.isEmpty())
            cs.set(QStringLiteral("PWD"), password);
        effective = cs.toString();
    }
    if (m_connectionTimeout > 0)
        SQLSetConnectAttr(m_dbc.get(), SQL_ATTR_LOGIN_TIMEOUT,
                          reinterpret_cast<SQLPOINTER>(SQLULEN(m_connectionTimeout)), 0);

    std::vector<SQLWCHAR> in = odbcWide(effective);
    SQLWCHAR out[4096];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc =
        SQLDriverConnectW(m_dbc.get(), nullptr, in.data(), SQL_NTS, out,
                          SQLSMALLINT(std::size(out)), &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        CADOError error = adoDiagnostics(SQL_HANDLE_DBC, m_dbc.get(), true, kSource);
        const QString plain = explainConnectFailure(COdbcConnectionString(m_connectionString));
        if (!plain.isEmpty())
            error.description = plain + u' ' + error.description;
        setError(error);
        return false;
    }
    m_open = true;
    return true;
}

void CADODataBase::Close() {
    if (!m_open)
        return;
    SQLDisconnect(m_dbc.get());
    m_open = false;
}

QString CADODataBase::driverName() const {
    if (!m_open)
        return QString();
    SQLWCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(m_dbc.get(), SQL_DRIVER_NAME, name, sizeof name, &length)))
        return QString();
    return odbcFromWide(name, qsizetype(std::size(name)));
}

bool CADODataBase::supportsParameters() const {
    if (!m_open)
        return false;
    SQLUSMALLINT bind = SQL_FALSE, prepare = SQL_FALSE;
    return SQL_SUCCEEDED(SQLGetFunctions(m_dbc.get(), SQL_API_SQLBINDPARAMETER, &bind)) &&
           SQL_SUCCEEDED(SQLGetFunctions(m_dbc.get(), SQL_API_SQLPREPARE, &prepare)) &&
           bind == SQL_TRUE && prepare == SQL_TRUE;
}

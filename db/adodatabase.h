#pragma once

#include "adoerror.h"
#include "odbchandle.h"

#include <QString>

// One connection to a database named by an ODBC connection string. Failures never escape:
// the operation returns false and keeps a formatted error text for the caller to show.
class CADODataBase {
public:
    // The ODBC behaviour asked of drivers. Drivers differ in details between the two (older
    // catalog column names, date type codes); the layer reads results the same either way.
    enum OdbcBehaviour { odbc2 = 2, odbc3 = 3 };

    explicit CADODataBase(OdbcBehaviour behaviour = odbc3);
    ~CADODataBase();
    CADODataBase(const CADODataBase&) = delete;
    CADODataBase& operator=(const CADODataBase&) = delete;

    // Closes first; a non-empty connection string replaces the stored one, an empty one reuses
    // it. User name and password, when given, are passed as UID and PWD.
    bool Open(const QString& connection = QString(), const QString& user = QString(),
              const QString& password = QString());
    void Close();
    bool IsOpen() const { return m_open; }

    QString GetConnectionString() const { return m_connectionString; }
    // Seconds to wait for the connection; 0 leaves the driver's default.
    void SetConnectionTimeout(int seconds) { m_connectionTimeout = seconds < 0 ? 0 : seconds; }
    int GetConnectionTimeout() const { return m_connectionTimeout; }
    // Seconds a statement on this connection may run before the driver gives up; 0 leaves the
    // driver's default. Applies to statements opened afterwards; the SQLite driver, which
    // ignores a statement's time-out, takes it as its wait for a lock when the connection opens.
    void SetCommandTimeout(int seconds) { m_commandTimeout = seconds < 0 ? 0 : seconds; }
    int GetCommandTimeout() const { return m_commandTimeout; }

    // "Connection String = <string>\n" followed by the "CADODataBase Error" block.
    QString GetLastErrorString() const { return m_lastError; }
    QString GetErrorDescription() const { return m_errorDescription; }
    quint32 GetLastError() const { return m_lastErrorCode; }

    // The ODBC connection handle (SQLHDBC) for result sets on this connection.
    void* connectionHandle() const { return m_dbc.get(); }
    // Name of the connected driver's library as the driver reports it.
    QString driverName() const;
    // Whether the connected driver takes values bound to a statement's "?" markers.
    bool supportsParameters() const;

private:
    void setError(const CADOError& error);
    // Checks the driver and database named by the string before the driver manager sees it,
    // so that a missing file is reported instead of silently created.
    bool prepareConnection(QString& effective);

    COdbcHandle m_env; // before the connection, which must be freed first
    COdbcHandle m_dbc;
    bool m_open = false;
    QString m_connectionString;
    QString m_lastError;
    QString m_errorDescription;
    quint32 m_lastErrorCode = 0;
    int m_connectionTimeout = 0;
    int m_commandTimeout = 0;
};

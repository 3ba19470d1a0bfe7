#pragma once

#include <QString>

#include <chrono>
#include <memory>

class CADODataBase;

// How long the settings pages, the connection dialog and the import wait for a database to
// connect before giving up.
inline constexpr std::chrono::milliseconds kConnectLimit{15000};
// Seconds a schema list, or the import's count of its table, may wait for the database: long
// enough for a slow server to answer, short enough that a locked file or a server that stopped
// answering does not hold the window for minutes.
inline constexpr int kSchemaCommandTimeoutSeconds = 15;

// The waits of one connection that lists a schema or imports.
struct DbWaitLimits {
    std::chrono::milliseconds connect = kConnectLimit;
    int commandSeconds = kSchemaCommandTimeoutSeconds; // 0: the driver's own
};

// Opens a connection on a thread of its own and waits for it at most `limit`, so that a driver
// that never answers (a server that drops the packets, a database file locked by another
// program with a long busy wait) cannot freeze the caller. Without a login time-out of its own
// the connection asks the driver for the limit, in whole seconds.
//
// On time-out the object stays with its thread, which frees it once the driver returns, and
// `database` is replaced by a closed one with the same time-outs. False with the error
// description when the connection did not open.
bool OpenWithin(std::unique_ptr<CADODataBase>& database, const QString& connection,
                std::chrono::milliseconds limit, QString& error);

// The same on a connection of its own: the open connection, or null.
std::shared_ptr<CADODataBase> OpenConnectionWithin(const QString& connection,
                                                   std::chrono::milliseconds limit, QString& error);

// The same with the command time-out of `limits` on the connection.
std::shared_ptr<CADODataBase> OpenConnectionWithin(const QString& connection,
                                                   const DbWaitLimits& limits, QString& error);

// Attempts given up by a time-out that are still waiting for their driver.
int AbandonedConnectionAttempts();

#pragma once

#include <QString>

#include <chrono>
#include <memory>

class CADODataBase;

// Opens a connection on a thread of its own and waits for it at most `limit`, so that a driver
// that never answers (a server that drops the packets, a database file locked by another
// program with a long busy wait) cannot freeze the caller. The driver is asked for the same
// login time-out, in whole seconds; an attempt that has still not answered is left to finish on
// its thread and is freed there. Gives the open connection, or null with the error description.
std::shared_ptr<CADODataBase> OpenConnectionWithin(const QString& connection,
                                                   std::chrono::milliseconds limit, QString& error);

// Attempts given up by a time-out that are still waiting for their driver.
int AbandonedConnectionAttempts();

#pragma once

#include <QString>

class CADODataBase;

// How long the reporting database may take over one registration's command. The handler runs
// on the user-interface thread while the controller's receiver waits for it, so a database
// that hangs or stays locked must cost seconds, not the intake. Three seconds are ample for
// one stored-procedure call on a reachable server, and the controller's 4000-byte queue
// holds far more than three seconds of reports at 2400 baud.
inline constexpr int kReportCommandTimeoutSeconds = 3;

struct ReportResult {
    bool sent = false;
    QString command;   // the text as the database layer passed it to the driver
    QString errorText; // the layer's "Query = ..." text when not sent
};

// Runs the command on the reporting connection, leaving the kind of command to the provider,
// with the time-out above; the result rows are discarded. Never throws. Give the connection the
// time-out before it opens as well: the SQLite driver takes its wait only when connecting.
ReportResult sendReportCommand(CADODataBase* database, const QString& command);

#pragma once

#include <QStringList>

#include <string>
#include <vector>

// Each command gets the words after its name as the bytes they were given and returns the
// exit status: 0 success, 1 failure, 2 wrong usage.
using Args = std::vector<std::string>;

int runShowCommand(const Args& args);
int runResaveCommand(const Args& args);
int runNormalizeCommand(const Args& args);
int runImportCsvCommand(const Args& args);
// import-db WORKSPACE --connect STRING --table T --mediaid COL --lastname COL --firstname COL
// [--media-type T] [--codepage CP]: the database import of the desktop wizard, with its totals.
int runImportDbCommand(const Args& args);
int runAddControllerCommand(const Args& args);
// collect WORKSPACE [--seconds S] [--count N]: the registration intake of every controller of
// the workspace without a window, until S seconds, N registrations or SIGTERM/SIGINT. Needs a
// QApplication (the controls are widgets).
int runCollectCommand(const Args& args);
// history [--folder DIR] [--workspace FILE] [--from T] [--to T] [--port N]... [--match TEXT]
// [--unknown] [--persons] [--csv] [--count]: the registrations of the monthly files, oldest
// first, as tab-separated lines, comma-separated records or their number.
int runHistoryCommand(const Args& args);
// attendance with the options of history: one row per person and day, first and last
// registration, span and count.
int runAttendanceCommand(const Args& args);
// report --pending | --retry-refused: lists the report queue's waiting and refused entries, or
// puts the refused ones back into the queue.
int runReportCommand(const Args& args);
// query CONNECTION-STRING SQL: prints each row of the result on one line, fields separated by
// tabs. Returns 0, 1 when the connection or the statement fails (the layer's error text on
// stderr), or 2 for wrong arguments.
int runQueryCommand(const QStringList& args);

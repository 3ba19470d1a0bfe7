#pragma once

#include <QStringList>

// tarvexctl query CONNECTION-STRING SQL: prints each row of the result on one line, fields
// separated by tabs. Returns 0, 1 when the connection or the statement fails (the layer's
// error text on stderr), or 2 for wrong arguments.
int runQueryCommand(const QStringList& args);

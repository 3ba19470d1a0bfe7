#pragma once

#include <QString>

// One value for a "?" of a statement, bound through the driver and never pasted into the
// statement's text, so no quote or semicolon in it can change what the statement does.
struct CADOParameter {
    enum Type { Text, Integer };

    Type type = Text;
    QString text;
    qint32 integer = 0;

    static CADOParameter fromText(const QString& value) { return {Text, value, 0}; }
    static CADOParameter fromInteger(qint32 value) { return {Integer, QString(), value}; }
};

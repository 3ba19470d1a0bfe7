#pragma once

#include <QByteArray>
#include <QString>

// One field value of a fetched row, kept with the kind of value the driver delivered so that
// the text conversion can follow the value's type.
struct CADOValue {
    enum Type {
        Empty, // no value was fetched
        Null,
        Integer,  // any signed integer type
        Unsigned, // unsigned integer types
        Float,    // single precision
        Double,
        Decimal, // exact numeric, held as its nearest double
        Date,    // date, time or timestamp
        String,
        Boolean,
        Bytes, // binary and long binary
        Other  // a type the layer does not convert
    };
    struct DateTime {
        int year = 1899, month = 12, day = 30;
        int hour = 0, minute = 0, second = 0;
    };

    Type type = Empty;
    qint64 integer = 0;
    quint64 unsignedInteger = 0;
    double real = 0;
    bool boolean = false;
    DateTime date;
    QString text;
    QByteArray bytes;
    // A String or Bytes value longer than its result may hold: its size in bytes as the driver
    // gave it (at least the limit + 1), its content not read.
    qint64 withheldSize = 0;
};

// The value as text: decimal integers, "%.10g" floats, "%.20g" doubles and decimals, dates
// through the strftime-style format (empty: "%Y-%m-%d %H:%M:%S"), strings unchanged, "T"/"F",
// empty text for empty and NULL. False with empty text for bytes and other types.
bool adoValueToText(const CADOValue& value, QString& text, const QString& dateFormat = QString());

// `text` as an SQL string literal: in single quotes, each quote doubled. For callers that must
// build statement text from values they do not control.
QString adoSqlLiteral(const QString& text);

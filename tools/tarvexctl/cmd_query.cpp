#include "commands.h"
#include "ctlcommon.h"

#include "adodatabase.h"
#include "adorecordset.h"

#include <cstdio>

namespace {
void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString fieldText(CADORecordset& rs, int index) {
    const CADOValue* value = rs.GetFieldRawValue(index);
    if (!value)
        return QString();
    if (value->type == CADOValue::Bytes)
        return QStringLiteral("0x") + QString::fromLatin1(value->bytes.toHex());
    QString text;
    rs.GetFieldValue(index, text);
    return escapeField(text);
}
} // namespace

int runQueryCommand(const QStringList& args) {
    // Only the connection string is checked: an SQL text may begin with a "--" comment.
    const bool option = !args.isEmpty() && args.at(0).size() > 1 && args.at(0).startsWith(u'-');
    if (option)
        write(stderr, QStringLiteral("tarvexctl: unknown option '%1'\n").arg(args.at(0)));
    if (option || args.size() != 2 || args.at(0).isEmpty() || args.at(1).trimmed().isEmpty()) {
        std::fputs("Usage: tarvexctl query CONNECTION-STRING SQL\n"
                   "Prints the rows of the result, one per line, fields separated by tabs;\n"
                   "tab, line ends and backslash inside a field are written as \\t, \\n, \\r\n"
                   "and \\\\, binary values as 0x followed by hexadecimal digits.\n",
                   stderr);
        return 2;
    }
    CADODataBase db;
    if (!db.Open(args.at(0))) {
        write(stderr, db.GetLastErrorString());
        return 1;
    }
    CADORecordset rs(&db);
    if (!rs.Open(args.at(1))) {
        write(stderr, rs.GetLastErrorString());
        return 1;
    }
    if (rs.IsOpen()) {
        QString line;
        for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
            line.clear();
            for (int i = 0; i < rs.GetFieldCount(); ++i) {
                if (i > 0)
                    line += u'\t';
                line += fieldText(rs, i);
            }
            line += u'\n';
            write(stdout, line);
        }
    }
    std::fflush(stdout);
    return 0;
}

#include "messagedecoder.h"

namespace vr12comm {

namespace {

QByteArray stripLeading(QByteArray text, char c) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == c)
        ++i;
    return text.mid(i);
}

} // namespace

Registration decodeMessage(const QByteArray& message, const QDateTime& when,
                           const QByteArray& portName) {
    Registration r;
    const qsizetype nul = message.indexOf('\0');
    r.lastReg = nul >= 0 ? message.left(nul) : message;
    const QByteArray& t = r.lastReg;
    const qsizetype len = t.size();
    if (len >= 1 && len <= 16) {
        r.action = stripLeading(stripLeading(stripLeading(t, '+'), '<'), '>');
    } else if (len == 17) {
        r.iButtonId = t.mid(1, 16);
    } else if (len >= 18) {
        r.iButtonId = t.mid(1, 16);
        switch (t.at(17)) {
        case 'M':
            r.action = "M";
            break;
        case ' ':
            r.action = len > 18 ? t.mid(18, 1) : QByteArray();
            break;
        case '+':
            r.action = t.right(1);
            break;
        default:
            r.action = "?";
            break;
        }
    }
    const QDate d = when.date();
    const QTime tm = when.time();
    r.dateReg = QString::asprintf("%04d-%02d-%02d", d.year(), d.month(), d.day()).toLatin1();
    r.timeReg = QString::asprintf("%02d:%02d:%02d", tm.hour(), tm.minute(), tm.second()).toLatin1();
    r.logLine = r.dateReg + ' ' + r.timeReg + ',' + r.lastReg + ',' + r.action + ',' + r.iButtonId +
                ',' + portName + "\r\n";
    return r;
}

} // namespace vr12comm

#include "textformat.h"

QString FormatText(QStringView pattern, const QStringList& args) {
    QString out;
    out.reserve(pattern.size());
    qsizetype next = 0; // the argument the next "%s" or "%d" takes
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != QLatin1Char('%') || i + 1 == pattern.size()) {
            out.append(c);
            continue;
        }
        const QChar k = pattern.at(i + 1);
        qsizetype arg = -1;
        if (k == QLatin1Char('%')) {
            out.append(k);
            ++i;
            continue;
        }
        if (k == QLatin1Char('s') || k == QLatin1Char('d'))
            arg = next++;
        else if (k >= QLatin1Char('1') && k <= QLatin1Char('9'))
            arg = k.unicode() - '1';
        if (arg < 0) {
            out.append(c);
            continue;
        }
        if (arg < args.size())
            out.append(args.at(arg));
        else
            out.append(pattern.mid(i, 2));
        ++i;
    }
    return out;
}

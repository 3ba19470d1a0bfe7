#include "reportrecord.h"

#include <array>

namespace {
constexpr char kQueued[] = "R1";
constexpr char kRefused[] = "F1";
constexpr char kMarker[] = "S1";

QByteArray escaped(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == '%') {
            out += '%';
            out += QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<QString> unescaped(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size())
            return std::nullopt;
        bool ok = false;
        const int b = field.mid(i + 1, 2).toInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        out += char(b);
        i += 2;
    }
    return QString::fromUtf8(out);
}

QByteArray withCrc(QByteArray line) {
    const quint32 crc = crc32Of(line);
    line += '\t';
    line += QByteArray::number(crc, 16).rightJustified(8, '0');
    line += '\n';
    return line;
}

// The fields of a line whose CRC holds, of the given kind and count; empty otherwise.
QList<QByteArray> checkedFields(const QByteArray& line, const char* kind, int count) {
    const qsizetype tab = line.lastIndexOf('\t');
    if (tab < 0 || line.size() - tab - 1 != 8)
        return {};
    bool ok = false;
    const quint32 crc = line.mid(tab + 1).toUInt(&ok, 16);
    const QByteArray body = line.left(tab);
    if (!ok || crc != crc32Of(body))
        return {};
    QList<QByteArray> fields = body.split('\t');
    if (fields.size() != count || fields.first() != kind)
        return {};
    return fields;
}

std::optional<quint64> number(const QByteArray& field) {
    bool ok = false;
    const quint64 n = field.toULongLong(&ok);
    return ok ? std::optional<quint64>(n) : std::nullopt;
}

std::optional<int> smallNumber(const QByteArray& field) {
    bool ok = false;
    const int n = field.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

QByteArray entryFields(quint64 seq, const ReportEntry& e) {
    return QByteArray::number(seq) + '\t' + reportFormSetting(e.form).toLatin1() + '\t' +
           escaped(e.mediaId) + '\t' + escaped(e.dateReg) + '\t' + escaped(e.timeReg) + '\t' +
           QByteArray::number(e.controllerId) + '\t' + QByteArray::number(e.controllerCode);
}

// Fields 1 to 7 of a checked line: the sequence number and the entry.
std::optional<QueuedReport> entryOf(const QList<QByteArray>& f) {
    const auto seq = number(f[1]);
    const auto media = unescaped(f[3]), date = unescaped(f[4]), time = unescaped(f[5]);
    const auto id = smallNumber(f[6]), code = smallNumber(f[7]);
    if (!seq || !media || !date || !time || !id || !code || (f[2] != "exec" && f[2] != "call"))
        return std::nullopt;
    QueuedReport r;
    r.seq = *seq;
    r.entry = {
        f[2] == "call" ? ReportForm::Call : ReportForm::Exec, *media, *date, *time, *id, *code};
    return r;
}

template <class Record, class Decode>
QList<Record> decodeLines(const QByteArray& bytes, Decode decode, int* skipped) {
    QList<Record> out;
    int bad = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            ++bad; // cut short: the process ended inside its write
            break;
        }
        if (auto r = decode(bytes.mid(start, end - start)))
            out.append(std::move(*r));
        else
            ++bad;
        start = end + 1;
    }
    if (skipped)
        *skipped = bad;
    return out;
}
} // namespace

quint32 crc32Of(const QByteArray& bytes) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes)
        crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray encodeQueued(const QueuedReport& r) {
    return withCrc(QByteArray(kQueued) + '\t' + entryFields(r.seq, r.entry));
}

QByteArray encodeRefused(const RefusedReport& r) {
    return withCrc(QByteArray(kRefused) + '\t' + entryFields(r.seq, r.entry) + '\t' +
                   r.refusedAt.toUTC().toString(Qt::ISODate).toLatin1() + '\t' + escaped(r.error));
}

QByteArray encodeMarker(quint64 sentUpTo) {
    // Fixed width: every marker is the same number of bytes, written over the last one.
    return withCrc(QByteArray(kMarker) + '\t' +
                   QByteArray::number(sentUpTo).rightJustified(20, '0'));
}

std::optional<QueuedReport> decodeQueued(const QByteArray& line) {
    const QList<QByteArray> f = checkedFields(line, kQueued, 8);
    return f.isEmpty() ? std::nullopt : entryOf(f);
}

std::optional<RefusedReport> decodeRefused(const QByteArray& line) {
    const QList<QByteArray> f = checkedFields(line, kRefused, 10);
    if (f.isEmpty())
        return std::nullopt;
    const auto queued = entryOf(f);
    const auto error = unescaped(f[9]);
    QDateTime at = QDateTime::fromString(QString::fromLatin1(f[8]), Qt::ISODate);
    if (!queued || !error || !at.isValid())
        return std::nullopt;
    return RefusedReport{queued->seq, queued->entry, at.toUTC(), *error};
}

std::optional<quint64> decodeMarker(const QByteArray& line) {
    const QList<QByteArray> f = checkedFields(line, kMarker, 2);
    return f.isEmpty() ? std::nullopt : number(f[1]);
}

QList<QueuedReport> decodeQueuedLines(const QByteArray& bytes, int* skipped) {
    return decodeLines<QueuedReport>(bytes, decodeQueued, skipped);
}

QList<RefusedReport> decodeRefusedLines(const QByteArray& bytes, int* skipped) {
    return decodeLines<RefusedReport>(bytes, decodeRefused, skipped);
}

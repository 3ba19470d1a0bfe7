#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtTest>

// Builders for workspace file bytes, written out by hand so tests do not trust the writer.
namespace WorkspaceBytes {

inline QByteArray int32(int v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((unsigned(v) >> (8 * i)) & 0xFF);
    return b;
}

// A text with the one-byte length prefix.
inline QByteArray text(const QByteArray& s) {
    Q_ASSERT(s.size() < 255);
    return char(s.size()) + s;
}

inline const QByteArray kHeader = text("Tarvex") + int32(2);

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace WorkspaceBytes

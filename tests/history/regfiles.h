#pragma once

#include "testfiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

#include <cstddef>

#include <fcntl.h>
#include <unistd.h>

// Monthly registrations files for the tests, written out by hand and appended to the way the
// control appends: at the end, with the file open only for the write.
namespace RegFiles {

// A fresh, empty folder.
inline QString freshFolder(const QString& path) {
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

inline QString monthly(const QString& folder, const char* yearMonth) {
    return folder + QStringLiteral("/TarvexRegs-") + QLatin1String(yearMonth) +
           QStringLiteral(".txt");
}

// Safe from any thread; false when the bytes did not all go in.
inline bool appendBytes(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool whole = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return whole;
}

inline void append(const QString& path, const QByteArray& bytes) {
    QVERIFY2(appendBytes(path, bytes), qPrintable(path));
}

// The bytes of a literal, zero bytes included.
template <std::size_t N> QByteArray raw(const char (&text)[N]) {
    return QByteArray(text, qsizetype(N - 1));
}

// One line as the control writes it.
inline QByteArray line(const char* moment, const QByteArray& message, const QByteArray& action,
                       const QByteArray& mediaId, int port) {
    return QByteArray(moment) + ',' + message + ',' + action + ',' + mediaId + ",COM" +
           QByteArray::number(port) + "\r\n";
}

// A person's registration: the message form of a presented medium.
inline QByteArray person(const char* moment, const QByteArray& mediaId, int port) {
    return line(moment, 'X' + mediaId, "", mediaId, port);
}

} // namespace RegFiles

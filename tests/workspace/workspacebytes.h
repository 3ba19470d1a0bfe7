#pragma once

#include "testfiles.h"

#include <QByteArray>

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

} // namespace WorkspaceBytes

#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes for tests. Failures are test failures, not silent empty files.

// The file's bytes, or "<unreadable>" when it cannot be opened, so a missing file never
// compares equal to an empty one.
QByteArray fileBytes(const QString& path);

// Replaces the file's content; records a test failure when it cannot be written whole.
void writeBytes(const QString& path, const QByteArray& bytes);

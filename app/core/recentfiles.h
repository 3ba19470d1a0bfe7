#pragma once

#include <QStringList>

class QSettings;

// The most recently used workspace files, newest first, at most 4, kept in the store's
// section "Recent File List" as File1..File4.
class CRecentFileList {
public:
    static constexpr int kSize = 4;

    void add(const QString& path);
    void remove(int index);
    const QStringList& files() const { return m_files; }

    void load(QSettings& store);
    void save(QSettings& store) const;

private:
    QStringList m_files;
};

#include "recentfiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString kSection = QStringLiteral("Recent File List/File%1");
}

void CRecentFileList::add(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(full);
    m_files.prepend(full);
    while (m_files.size() > kSize)
        m_files.removeLast();
}

void CRecentFileList::remove(int index) {
    if (index >= 0 && index < m_files.size())
        m_files.removeAt(index);
}

void CRecentFileList::load(QSettings& store) {
    m_files.clear();
    for (int i = 1; i <= kSize; ++i) {
        const QString file = store.value(kSection.arg(i)).toString();
        if (!file.isEmpty() && !m_files.contains(file))
            m_files.append(file);
    }
}

void CRecentFileList::save(QSettings& store) const {
    for (int i = 1; i <= kSize; ++i) {
        if (i <= m_files.size())
            store.setValue(kSection.arg(i), m_files.at(i - 1));
        else
            store.remove(kSection.arg(i));
    }
}

#include "recoverycopy.h"

#include "datafolder.h"
#include "workspacefile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {
const QByteArray kNoteHeader = QByteArrayLiteral("Tarvex recovery copy 1\n");
} // namespace

CRecoveryCopy::CRecoveryCopy(const QString& folder) : m_folder(folder) {}

CRecoveryCopy::CRecoveryCopy() : CRecoveryCopy(tarvexDataFolder()) {}

QString CRecoveryCopy::workspacePath() const {
    return m_folder + QStringLiteral("/Recovery.VR-12");
}

QString CRecoveryCopy::notePath() const {
    return m_folder + QStringLiteral("/Recovery.txt");
}

bool CRecoveryCopy::exists() const {
    QFile note(notePath());
    return QFile::exists(workspacePath()) && note.open(QIODevice::ReadOnly) &&
           note.readLine() == kNoteHeader;
}

QString CRecoveryCopy::originalPath() const {
    QFile note(notePath());
    if (!note.open(QIODevice::ReadOnly) || note.readLine() != kNoteHeader)
        return QString();
    QByteArray line = note.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    return QString::fromUtf8(line);
}

bool CRecoveryCopy::write(const CTarvexDoc& doc, const QString& originalPath, QString* reason) {
    // Without its note an older copy must not pass for this one while the new one is written.
    QFile::remove(notePath());
    QDir().mkpath(m_folder);
    const WorkspaceSaveResult saved = CWorkspaceFile::Save(doc, workspacePath());
    if (!saved.ok) {
        if (reason)
            *reason = saved.reason;
        discard();
        return false;
    }
    QSaveFile note(notePath());
    if (note.open(QIODevice::WriteOnly)) {
        note.write(kNoteHeader);
        note.write(originalPath.toUtf8() + '\n');
        if (note.commit())
            return true;
    }
    if (reason)
        *reason = note.errorString();
    discard();
    return false;
}

void CRecoveryCopy::discard() {
    QFile::remove(notePath());
    QFile::remove(workspacePath());
}

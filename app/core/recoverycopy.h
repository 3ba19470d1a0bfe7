#pragma once

#include <QString>

class CTarvexDoc;

// The unsaved workspace of a session that ended without the save prompt (a log-out that
// allows no questions, SIGTERM): a copy in the user's data folder that the next start offers
// back. The workspace's own file is never written here.
class CRecoveryCopy {
public:
    explicit CRecoveryCopy(const QString& folder);
    // In the user's data folder.
    CRecoveryCopy();

    QString workspacePath() const;
    QString notePath() const;

    // A complete copy is there (its note is written last).
    bool exists() const;
    // The file the workspace was opened from or saved to; empty when it was untitled.
    QString originalPath() const;

    // Writes the workspace, then the note naming its original file. False with the reason
    // when either could not be written; nothing incomplete is left behind.
    bool write(const CTarvexDoc& doc, const QString& originalPath, QString* reason = nullptr);
    void discard();

private:
    QString m_folder;
};

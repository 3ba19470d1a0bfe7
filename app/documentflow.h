#pragma once

#include "commandtarget.h"
#include "recentfiles.h"

#include <QObject>
#include <QString>

class CTarvexDoc;
class IUserPrompts;

// New, Open, Save, Save As, the recent files and opening a named or dropped file: the save
// prompt for a modified workspace, the title, and what a failure leaves behind.
class CDocumentFlow : public QObject, public ICommandTarget {
    Q_OBJECT
public:
    CDocumentFlow(CTarvexDoc& doc, CRecentFileList& recent, IUserPrompts& prompts,
                  QObject* parent = nullptr);

    // The title: "New" for an untitled workspace, else the file's name.
    QString title() const { return m_title; }
    // Empty while untitled.
    QString pathName() const { return m_path; }
    // The file the workspace belongs to: its path, or for a restored copy the file it was
    // copied from. Empty for a workspace that never had a file.
    QString originalPath() const { return m_path.isEmpty() ? m_recoveredFrom : m_path; }

    // Asks to save a modified workspace. False when the user cancelled or the save failed.
    bool SaveModified();

    // A new, empty, untitled workspace (after the save prompt). False when cancelled.
    bool OnFileNew();
    // Opens a workspace file (after the save prompt). False when cancelled or the file could
    // not be read or was refused (not a workspace, another version); either leaves a new,
    // empty, untitled workspace, so the file is never saved over.
    bool OpenDocumentFile(const QString& path);
    // Opens the copy of an unsaved workspace (after the save prompt): modified, and untitled
    // so that no save goes to the original file without the user choosing it; the title and
    // the name Save As suggests are the original file's. False when cancelled or unreadable.
    bool OpenRecovered(const QString& copyPath, const QString& originalPath);
    bool OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    // Writes the workspace; on failure it stays modified and keeps its name.
    bool DoSave(const QString& path);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

signals:
    void titleChanged(const QString& title);
    void recentFilesChanged(const QStringList& files);
    // A new or opened workspace replaced the old one (also after a failed open).
    void documentReset();

private:
    // True while a new or opened workspace starts: the first New needs no prompt.
    void setPath(const QString& path);
    // Leaves a new, empty, untitled workspace and reports why the file could not be read.
    bool openFailed(const QString& reason);
    // The framework's failure message, with the reason the file layer gave.
    void reportFailure(int stringId, const QString& reason);
    // Puts the current file at the top of the recent files.
    void rememberPath();
    QString filter() const;

    CTarvexDoc& m_doc;
    CRecentFileList& m_recent;
    IUserPrompts& m_prompts;
    QString m_path;
    QString m_title;
    QString m_recoveredFrom;
};

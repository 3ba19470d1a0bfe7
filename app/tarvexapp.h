#pragma once

#include "commandtarget.h"
#include "recentfiles.h"
#include "singleinstance.h"
#include "userprompts.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class CADODataBase;
class CDocumentFlow;
class CMainFrame;
class CSplashDlg;
class CTarvexDoc;
class QWidget;

// The application object: single running copy, settings, the reporting and photo
// connections, the workspace with its main window, and the orders of start-up and shutdown.
class CTarvexApp : public QObject, public ICommandTarget {
    Q_OBJECT
public:
    explicit CTarvexApp(QObject* parent = nullptr);
    ~CTarvexApp() override;

    static CTarvexApp* Instance();

    // Before InitInstance: the program folder (default: the executable's folder) and the
    // command line without the program name (default: the application's arguments).
    void setProgramFolder(const QString& folder);
    void setArguments(const QStringList& arguments);
    // Replaces the message boxes and file dialogs (tests); the app does not own it.
    void setPrompts(IUserPrompts* prompts);

    // The start-up sequence; false ends the program (ExitInstance still runs).
    bool InitInstance();
    // The shutdown sequence; returns the exit code.
    int ExitInstance();
    // InitInstance, the event loop, ExitInstance.
    int run();

    void LoadGlobalSettings();
    void SaveSettings();
    void ReopenMRDatabase();
    void ReopenPhotoDB();

    // File Exit: asks to save a modified workspace, then closes the workspace and the main
    // window with the closing notice on the splash and leaves the event loop. False when the
    // user cancelled.
    bool Exit();

    // Programme folder with a trailing '/'.
    QString programFolder() const { return m_programFolder; }
    // The default of RegFilePath: the program folder while it is writable, else the user's
    // data folder.
    QString defaultRegFilePath() const;

    CSplashDlg* splash() const { return m_splash; }
    QWidget* photoWindow() const { return m_photo; }
    CMainFrame* mainFrame() const { return m_frame; }
    CTarvexDoc* document() const { return m_doc.get(); }
    CDocumentFlow* documentFlow() const { return m_flow.get(); }
    CRecentFileList& recentFiles() { return m_recent; }
    CADODataBase* reportingDatabase() const { return m_mrdb.get(); }
    CADODataBase* photoDatabase() const { return m_photoDb.get(); }
    const QStringList& languages() const { return m_languages; }
    bool ownsLock() const { return m_lock.held(); }

    // What the Settings command opens (the settings sheet); without one the command does
    // nothing.
    void setSettingsCommand(std::function<void()> command) {
        m_settingsCommand = std::move(command);
    }

    // The steps taken so far, in order (start-up and shutdown).
    const QStringList& trace() const { return m_trace; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

private:
    void step(const QString& name);
    void status(const QString& text);
    void finishExit();
    void applyVisualStyle();
    void togglePhoto();
    // The two Reopen commands: splash step, wait cursor, and on failure the message and the
    // saved switched-off setting.
    void reopenDatabase(const QString& name, std::unique_ptr<CADODataBase>& database,
                        bool& featureOn, const QString& connection, int failureMessage);

    CSingleInstance m_lock;
    CSingleInstance m_settingsLock;
    QString m_programFolder;
    bool m_folderSet = false;
    QStringList m_arguments;
    bool m_argumentsSet = false;
    CDialogPrompts m_dialogPrompts;
    IUserPrompts* m_prompts = &m_dialogPrompts;
    QStringList m_languages;
    QStringList m_trace;
    CRecentFileList m_recent;
    bool m_recentLoaded = false;
    QWidget* m_photo = nullptr;
    CSplashDlg* m_splash = nullptr;
    CMainFrame* m_frame = nullptr;
    std::unique_ptr<CTarvexDoc> m_doc;
    std::unique_ptr<CDocumentFlow> m_flow;
    std::unique_ptr<CADODataBase> m_mrdb;
    std::unique_ptr<CADODataBase> m_photoDb;
    bool m_exitDone = false;
    std::function<void()> m_settingsCommand;
};

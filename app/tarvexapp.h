#pragma once

#include "appdatabases.h"
#include "applanguage.h"
#include "appreporting.h"
#include "apptrace.h"
#include "commandtarget.h"
#include "controllerlogs.h"
#include "exitsequence.h"
#include "recentfiles.h"
#include "singleinstance.h"
#include "userprompts.h"
#include "workspacewindow.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class CAppAlerts;
class CAppLinkCheck;
class CInstanceHandover;
class CPhotoCommands;
class CPhotoFrame;
class CSessionEnd;
class CSettingsFollower;
class CSplashDlg;
class QWidget;

// The application object: single running copy, settings, the reporting and photo
// connections, the workspace with its main window, and the orders of start-up and shutdown.
// Each concern beyond the order itself is a part of its own: the language, the databases, the
// controllers' logs, following the settings, the workspace's window, the exit and the
// session's end.
class CTarvexApp : public QObject, public ICommandTarget {
    Q_OBJECT
public:
    explicit CTarvexApp(QObject* parent = nullptr);
    ~CTarvexApp() override;

    // Before InitInstance: the program folder (default: the executable's folder) and the
    // command line without the program name (default: the application's arguments).
    void setProgramFolder(const QString& folder) {
        m_programFolder = folder;
        m_folderSet = true;
    }
    void setArguments(const QStringList& arguments) {
        m_arguments = arguments;
        m_argumentsSet = true;
    }
    // Replaces the message boxes and file dialogs (tests); the app does not own it.
    void setPrompts(IUserPrompts* prompts);
    // Before InitInstance: the clock whose month names the registrations file (tests; default:
    // the system's).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // The start-up sequence; false ends the program (ExitInstance still runs).
    bool InitInstance();
    // The shutdown sequence; returns the exit code.
    int ExitInstance();
    // InitInstance, the event loop, ExitInstance.
    int run();

    void SaveSettings();
    void ReopenPhotoDB() {
        if (m_databases)
            m_databases->ReopenPhotoDB();
    }

    // File Exit (see CExitSequence): false when the user cancelled, or when an Exit is already
    // asking.
    bool Exit() { return m_exit.Exit(); }
    // The exit without the save prompt (the session ends and nobody can be asked): what the
    // caller did not keep of the workspace is lost.
    void ExitWithoutPrompt() { m_exit.ExitWithoutPrompt(); }
    // The window is about to go: no command may start anything new.
    bool exitUnderWay() const { return m_exit.underWay(); }
    // File Exit's save prompt is open.
    bool exitPromptOpen() const { return m_exit.promptOpen(); }
    // Settings, recent files and window state, written now for a session that may be cut off
    // before ExitInstance.
    void SaveSessionSettings();

    // The default of RegFilePath: the program folder while it is writable, else the user's
    // data folder.
    QString defaultRegFilePath() const;

    CSplashDlg* splash() const { return m_trace.splash(); }
    QWidget* photoWindow() const;
    CPhotoFrame* photoFrame() const { return m_photo.get(); }
    CMainFrame* mainFrame() const { return m_window ? m_window->frame() : nullptr; }
    CTarvexDoc* document() const { return m_window ? m_window->document() : nullptr; }
    CDocumentFlow* documentFlow() const { return m_window ? m_window->flow() : nullptr; }
    CRecentFileList& recentFiles() { return m_recent; }
    // The alerts of the run (from the settings' load on).
    CAppAlerts* alerts() const { return m_alerts.get(); }
    // The link check of the controllers (from the settings' load on).
    CAppLinkCheck* linkCheck() const { return m_linkCheck.get(); }
    CADODataBase* reportingDatabase() const {
        return m_databases ? m_databases->reporting() : nullptr;
    }
    // The report queue the registrations' reports go into (nullptr before the start).
    CAppReporting* reporting() const { return m_reporting.get(); }
    CADODataBase* photoDatabase() const { return m_databases ? m_databases->photo() : nullptr; }
    IUserPrompts& prompts() const { return *m_prompts; }
    CSessionEnd* sessionEnd() const { return m_sessionEnd.get(); }
    // The language modules found at start-up and the one in use.
    const CLanguageList& languageList() const { return m_language.list(); }
    bool ownsLock() const { return m_lock.held(); }
    // Another copy runs: this start handed its command line over and ends.
    bool isSecondCopy() const { return m_secondCopy; }

    // Replaces what the Settings command opens (by default the settings sheet).
    void setSettingsCommand(std::function<void()> command) {
        m_settingsCommand = std::move(command);
    }

    // The steps taken so far, in order (start-up and shutdown).
    const QStringList& trace() const { return m_trace.steps(); }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    // The one watcher of the month for the registrations files.
    CMonthWatcher* monthWatcher() const { return m_logs ? m_logs->monthWatcher() : nullptr; }
    // Every running controller logs into the registrations file the settings name now.
    void PointControllersAtRegistrationsFile() {
        if (m_logs)
            m_logs->PointAtRegistrationsFile();
    }

signals:
    // A person's registration for the photo window: media ID and the registration's time.
    void photoHandedOver(const QString& mediaId, const QString& time);

private:
    // What the controller forms reach beyond themselves.
    void fillFormServices();
    void destroyMainWindow();
    void saveRecentFiles();
    void openSettingsSheet();

    CSingleInstance m_lock;
    std::unique_ptr<CInstanceHandover> m_handover;
    bool m_secondCopy = false;
    QString m_programFolder;
    bool m_folderSet = false;
    QStringList m_arguments;
    bool m_argumentsSet = false;
    CDialogPrompts m_dialogPrompts;
    IUserPrompts* m_prompts = &m_dialogPrompts;
    CAppTrace m_trace;
    CAppLanguage m_language;
    CRecentFileList m_recent;
    bool m_recentLoaded = false;
    // The photo window owns the splash window.
    std::unique_ptr<CPhotoFrame> m_photo;
    std::unique_ptr<CPhotoCommands> m_photoCommands;
    std::unique_ptr<CWorkspaceWindow> m_window;
    std::unique_ptr<CAppReporting> m_reporting;
    std::unique_ptr<CAppDatabases> m_databases;
    std::unique_ptr<CControllerLogs> m_logs;
    std::unique_ptr<CSettingsFollower> m_settings;
    std::unique_ptr<CAppAlerts> m_alerts;
    std::unique_ptr<CAppLinkCheck> m_linkCheck;
    std::unique_ptr<CSessionEnd> m_sessionEnd;
    std::function<QDateTime()> m_clock;
    CExitSequence m_exit;
    bool m_exitDone = false;
    std::function<void()> m_settingsCommand;
};

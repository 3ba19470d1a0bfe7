#pragma once

#include "commandtarget.h"
#include "datalinkfactory.h"
#include "languagelist.h"
#include "recentfiles.h"
#include "singleinstance.h"
#include "userprompts.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class CADODataBase;
class CControllerOperations;
class CDocumentFlow;
class CEditCommands;
class CImportCommands;
class CInstanceHandover;
class CLanguagesCommand;
class CMainFrame;
class CMonthWatcher;
class CPhotoCommands;
class CPhotoFrame;
class CSessionEnd;
class CSplashDlg;
class CTarvexDoc;
class QTranslator;
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
    // Before InitInstance: the clock whose month names the registrations file (tests; default:
    // the system's).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

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
    // window with the closing notice on the splash and leaves the event loop. Open modal
    // dialogs are closed first. Runs once: false when the user cancelled, or when an Exit is
    // already asking.
    bool Exit();
    // The exit without the save prompt (the session ends and nobody can be asked): what the
    // caller did not keep of the workspace is lost.
    void ExitWithoutPrompt();
    // The window is about to go: no command may start anything new.
    bool exitUnderWay() const { return m_finishScheduled; }
    // File Exit's save prompt is open.
    bool exitPromptOpen() const { return m_exitPromptOpen; }
    // Settings, recent files and window state, written now for a session that may be cut off
    // before ExitInstance.
    void SaveSessionSettings();

    // Programme folder with a trailing '/'.
    QString programFolder() const { return m_programFolder; }
    // The default of RegFilePath: the program folder while it is writable, else the user's
    // data folder.
    QString defaultRegFilePath() const;

    CSplashDlg* splash() const;
    QWidget* photoWindow() const;
    CPhotoFrame* photoFrame() const { return m_photo.get(); }
    CMainFrame* mainFrame() const { return m_frame.get(); }
    CTarvexDoc* document() const { return m_doc.get(); }
    CDocumentFlow* documentFlow() const { return m_flow.get(); }
    // File Import's commands; the connection dialog is handed to them here.
    CImportCommands* importCommands() const { return m_importCommands.get(); }
    // The connection-string prompt the import wizard's database page offers (the settings
    // area provides it); without one that button stays disabled.
    void setDataLinkPromptFactory(DataLinkPromptFactory factory) {
        m_dataLinkFactory = std::move(factory);
    }
    CRecentFileList& recentFiles() { return m_recent; }
    CADODataBase* reportingDatabase() const { return m_mrdb.get(); }
    CADODataBase* photoDatabase() const { return m_photoDb.get(); }
    IUserPrompts& prompts() const { return *m_prompts; }
    CSessionEnd* sessionEnd() const { return m_sessionEnd.get(); }
    // The language modules found at start-up and the one in use.
    const CLanguageList& languageList() const { return m_languageList; }
    bool ownsLock() const { return m_lock.held(); }
    // Another copy runs: this start handed its command line over and ends.
    bool isSecondCopy() const { return m_secondCopy; }
    CInstanceHandover* handover() const { return m_handover.get(); }

    // What the Settings command opens (the settings sheet); without one the command does
    // nothing.
    void setSettingsCommand(std::function<void()> command) {
        m_settingsCommand = std::move(command);
    }

    // The steps taken so far, in order (start-up and shutdown).
    const QStringList& trace() const { return m_trace; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    // The one watcher of the month for the registrations files.
    CMonthWatcher* monthWatcher() const { return m_monthWatcher.get(); }
    // Every controller's log moves to the registrations file of the new month.
    void OnMonthChanged(const QString& monthlyFileName);
    // Every running controller logs into the registrations file the settings name now (after
    // the month or the registrations folder changed), without a new Init.
    void PointControllersAtRegistrationsFile();

signals:
    // A person's registration for the photo window: media ID and the registration's time.
    void photoHandedOver(const QString& mediaId, const QString& time);

private:
    void step(const QString& name);
    void status(const QString& text);
    void scheduleFinish();
    void finishExit();
    // Closes the workspace's panels, then destroys the main window.
    void destroyMainWindow();
    void saveRecentFiles();
    void applyVisualStyle();
    // The selected language module becomes the source of every resource, with the toolkit's
    // own translations for its language; without one, the built-in set and the warning.
    void useLanguage();
    // The two Reopen commands: splash step, wait cursor, and on failure the message and the
    // saved switched-off setting.
    void reopenDatabase(const QString& name, std::unique_ptr<CADODataBase>& database,
                        bool& featureOn, const QString& connection, int failureMessage);

    CSingleInstance m_lock;
    CSingleInstance m_settingsLock;
    std::unique_ptr<CInstanceHandover> m_handover;
    bool m_secondCopy = false;
    QString m_programFolder;
    bool m_folderSet = false;
    QStringList m_arguments;
    bool m_argumentsSet = false;
    CDialogPrompts m_dialogPrompts;
    IUserPrompts* m_prompts = &m_dialogPrompts;
    CLanguageList m_languageList;
    std::unique_ptr<CLanguagesCommand> m_languagesCommand;
    std::unique_ptr<QTranslator> m_qtTranslator;
    QStringList m_trace;
    CRecentFileList m_recent;
    bool m_recentLoaded = false;
    // The photo window owns the splash window.
    std::unique_ptr<CPhotoFrame> m_photo;
    std::unique_ptr<CPhotoCommands> m_photoCommands;
    QPointer<CSplashDlg> m_splash;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CTarvexDoc> m_doc;
    std::unique_ptr<CDocumentFlow> m_flow;
    std::unique_ptr<CEditCommands> m_edit;
    std::unique_ptr<CImportCommands> m_importCommands;
    DataLinkPromptFactory m_dataLinkFactory;
    std::unique_ptr<CControllerOperations> m_operations;
    std::unique_ptr<CADODataBase> m_mrdb;
    std::unique_ptr<CADODataBase> m_photoDb;
    std::unique_ptr<CSessionEnd> m_sessionEnd;
    std::unique_ptr<CMonthWatcher> m_monthWatcher;
    std::function<QDateTime()> m_clock;
    // The event loop level at which the program's own loop runs: deeper, a dialog or menu
    // opened by someone is still on the stack.
    int m_mainLoopLevel = 0;
    bool m_exitPromptOpen = false;
    bool m_finishScheduled = false;
    bool m_exitDone = false;
    std::function<void()> m_settingsCommand;
};

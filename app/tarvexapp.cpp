#include "tarvexapp.h"

#include "aboutdlg.h"
#include "appalerts.h"
#include "applinkcheck.h"
#include "appsettings.h"
#include "cmdui.h"
#include "datafolder.h"
#include "documentflow.h"
#include "instancehandover.h"
#include "mainframe.h"
#include "mainframetray.h"
#include "mainpanes.h"
#include "photocommands.h"
#include "photoframe.h"
#include "pssettings.h"
#include "regview.h"
#include "resourceids.h"
#include "sessionend.h"
#include "settingsfollower.h"
#include "settingsstore.h"
#include "splashdlg.h"
#include "termformservices.h"
#include "versioninfo.h"

#include <QCoreApplication>
#include <QSettings>
#include <QThread>

using namespace res;

CTarvexApp::CTarvexApp(QObject* parent)
    : QObject(parent),
      m_exit(m_trace, {[this] { return !documentFlow() || documentFlow()->SaveModified(); },
                       [this] {
                           if (m_sessionEnd)
                               m_sessionEnd->ExitDecided();
                       },
                       [this] { destroyMainWindow(); }}) {}

CTarvexApp::~CTarvexApp() {
    if (!m_exitDone)
        ExitInstance();
}

QWidget* CTarvexApp::photoWindow() const {
    return m_photo.get();
}

void CTarvexApp::setPrompts(IUserPrompts* prompts) {
    m_prompts = prompts ? prompts : &m_dialogPrompts;
}

QString CTarvexApp::defaultRegFilePath() const {
    return regFilePathDefault(m_programFolder);
}

bool CTarvexApp::InitInstance() {
    // One running copy: a second start hands its command line over and ends here, touching
    // nothing.
    m_trace.step(QStringLiteral("SingleInstance"));
    m_handover = std::make_unique<CInstanceHandover>();
    if (m_handover->claim(m_lock,
                          m_argumentsSet ? m_arguments : QCoreApplication::arguments().mid(1),
                          *m_prompts) == CInstanceHandover::Outcome::SecondCopy) {
        m_secondCopy = true;
        return false;
    }
    // Told through the tray while the window is there: a box would hold up the intake.
    m_reporting = std::make_unique<CAppReporting>([this](const QString& text) {
        if (auto* tray = mainFrame() ? mainFrame()->findChild<CMainFrameTray*>() : nullptr)
            tray->ShowNotice(text);
        else
            m_prompts->warning(text);
    });
    m_databases = std::make_unique<CAppDatabases>(
        m_trace, *m_prompts, [this] { SaveSettings(); }, m_reporting.get());
    m_logs = std::make_unique<CControllerLogs>([this] { return document(); }, m_clock);
    m_settings = std::make_unique<CSettingsFollower>(m_trace, CSettingsStore::instance(),
                                                     *m_databases, *m_logs);

    // The profile is "Brindlo"/"Tarvex"; hosting the controls needs no set-up.
    m_trace.step(QStringLiteral("Profile"));
    QCoreApplication::setOrganizationName(QStringLiteral("Brindlo"));
    QCoreApplication::setApplicationName(S(IDS_APP_TITLE));
    {
        const CVersionInfo version = CVersionInfo::parse(CVersionInfo::versionText());
        QCoreApplication::setApplicationVersion(version.version + QLatin1Char('.') + version.build);
    }

    // The program folder, with a trailing separator.
    m_trace.step(QStringLiteral("ProgramFolder"));
    if (!m_folderSet)
        m_programFolder = QCoreApplication::applicationDirPath();
    if (!m_programFolder.endsWith(QLatin1Char('/')))
        m_programFolder += QLatin1Char('/');

    // LangWarning is needed before the language is chosen.
    m_trace.step(QStringLiteral("LangWarning"));
    {
        auto store = CAppSettings::openStore();
        CAppSettings::instance().LangWarning = CAppSettings::readLangWarning(*store);
    }

    // The language module named by "Language", before any window is made.
    m_trace.step(QStringLiteral("Language"));
    m_language.Choose(m_programFolder, *m_prompts);

    // The photo window, hidden; it owns the splash window.
    m_trace.step(QStringLiteral("PhotoWindow"));
    m_photo = std::make_unique<CPhotoFrame>();
    if (!m_photo->Create())
        return false;
    m_photo->setDatabase([this] { return photoDatabase(); });
    m_photoCommands = std::make_unique<CPhotoCommands>(*m_photo);
    m_databases->setPhotoWindow(m_photo.get());

    // The splash window, centred and painted at once.
    m_trace.step(QStringLiteral("Splash"));
    m_trace.setSplash(new CSplashDlg(m_photo.get()));
    splash()->showCentred();

    // The recent-file list of 4 entries.
    m_trace.step(QStringLiteral("RecentFiles"));
    {
        auto store = CAppSettings::openStore();
        m_recent.load(*store);
        m_recentLoaded = true;
    }

    // The settings and the two databases.
    m_trace.status(QStringLiteral("LoadGlobalSettings"));
    m_settings->Load(defaultRegFilePath(), m_photo.get());
    // The month of the clock in use names the registrations file from the start.
    CAppSettings::instance().MonthlyFileName = m_logs->monthWatcher()->monthlyFileName();
    // The controllers' forms hand their controls to the link check as they open.
    m_linkCheck = std::make_unique<CAppLinkCheck>(CSettingsStore::instance(), [this] {
        CMainPanes* panes = mainFrame() ? mainFrame()->panes() : nullptr;
        return panes ? panes->termView() : nullptr;
    });
    // Before any controller opens: a port that does not open at the start is an alert too.
    m_alerts = std::make_unique<CAppAlerts>([this] { return mainFrame(); },
                                            [this] { return document(); }, m_clock);
    // A database that did not answer while the settings were loaded is an alert already.
    m_reporting->setAlerts(&m_alerts->engine());
    fillFormServices();

    // The workspace, its main window and the file type.
    m_trace.status(QStringLiteral("CSingleDocTemplate"));
    m_trace.step(QStringLiteral("DocTemplate"));
    m_window = std::make_unique<CWorkspaceWindow>(
        CWorkspaceWindow::Context{m_trace, *m_prompts, m_dialogPrompts, m_recent, m_language.list(),
                                  *m_photo, *m_photoCommands, *this, [this] { SaveSettings(); }});
    if (!m_window->Create())
        return false;
    CMainFrame* frame = m_window->frame();
    CDocumentFlow* flow = m_window->flow();
    frame->followSettings(CSettingsStore::instance());
    // What was raised before the window was there (a database silent from the start) stands.
    frame->ShowAlertLine(m_alerts->engine().statusLine());

    // The command line: its first argument that is not an option names a workspace.
    m_trace.status(QStringLiteral("CCommandLineInfo"));
    m_trace.step(QStringLiteral("CommandLine"));
    if (!m_argumentsSet)
        m_arguments = QCoreApplication::arguments().mid(1);
    QString fileName;
    for (const QString& arg : m_arguments) {
        if (!arg.startsWith(QLatin1Char('-'))) {
            fileName = arg;
            break;
        }
    }

    // Open the named workspace or start an empty one.
    m_trace.status(QStringLiteral("ProcessShellCommand"));
    m_trace.step(QStringLiteral("ProcessShellCommand"));
    const bool opened = fileName.isEmpty() ? flow->OnFileNew() : flow->OpenDocumentFile(fileName);
    if (!opened)
        return false;

    // Show the main window; dropped files open workspaces.
    m_trace.status(QStringLiteral("ShowWindow"));
    m_trace.step(QStringLiteral("ShowWindow"));
    connect(frame, &CMainFrame::fileDropped, flow,
            [flow](const QString& path) { flow->OpenDocumentFile(path); });
    frame->ActivateFrame();
    frame->repaint();
    m_handover->serve(flow, frame);

    // The splash window goes away by itself a second later.
    m_trace.step(QStringLiteral("SplashTimer"));
    m_trace.status(S(IDS_OK));
    splash()->startHideTimer();

    // A workspace an earlier run could not save is offered back, over the main window.
    CSessionEnd::OfferRecoveryCopy(*m_prompts, *flow);

    // From here on log-out, Qt's quit and SIGTERM end the program through its exit.
    m_sessionEnd = std::make_unique<CSessionEnd>(*this);
    m_exit.setMainLoopLevel(QThread::currentThread()->loopLevel());
    return true;
}

void CTarvexApp::fillFormServices() {
    TermFormServices services;
    services.queueReport = [this](const ReportEntry& report) {
        return m_reporting && m_reporting->Enqueue(report);
    };
    services.showPhoto = [this](const QString& mediaId, const QString& time) {
        emit photoHandedOver(mediaId, time);
    };
    services.listRow = [this](const QStringList& row, int controllerId) {
        if (CMainPanes* panes = mainFrame() ? mainFrame()->panes() : nullptr)
            panes->regView()->AddRow(row.value(0), row.value(1), row.value(2), row.value(3),
                                     controllerId);
    };
    services.prompts = m_prompts;
    // Every registration looks at the month; the watcher's own timer is the backstop for a
    // quiet night.
    services.registrationArrived = [this] {
        if (m_logs)
            m_logs->monthWatcher()->check();
    };
    services.alerts = &m_alerts->engine();
    services.linkCheck = &m_linkCheck->checker();
    termFormServices() = std::move(services);
    connect(this, &CTarvexApp::photoHandedOver, m_photo.get(), &CPhotoFrame::SetPhoto);
}

void CTarvexApp::SaveSettings() {
    if (m_settings)
        m_settings->Save();
}

void CTarvexApp::SaveSessionSettings() {
    SaveSettings();
    saveRecentFiles();
    if (CMainFrame* frame = mainFrame())
        frame->WriteWindowState();
}

void CTarvexApp::destroyMainWindow() {
    if (m_window)
        m_window->DestroyMainWindow();
}

void CTarvexApp::saveRecentFiles() {
    if (!m_recentLoaded)
        return;
    auto store = CAppSettings::openStore();
    m_recent.save(*store);
    store->sync();
}

int CTarvexApp::ExitInstance() {
    if (m_exitDone)
        return 0;
    m_exitDone = true;
    m_trace.step(QStringLiteral("ExitInstance"));
    // A second copy leaves everything to the copy that runs.
    if (m_secondCopy)
        return 0;
    m_handover.reset();
    m_sessionEnd.reset();
    // Still there after a start that failed once the window was made.
    destroyMainWindow();
    m_window.reset();
    m_logs.reset();
    termFormServices() = TermFormServices();
    m_linkCheck.reset();
    // Every control has stopped: what they reported gets its grace, the rest waits on disk.
    if (m_reporting) {
        m_reporting->Finish(CAppReporting::kGraceMs);
        m_reporting->setAlerts(nullptr);
    }
    m_alerts.reset();
    m_trace.step(QStringLiteral("DestroyPhotoWindow"));
    m_photoCommands.reset();
    m_photo.reset(); // and with it the splash window
    m_trace.step(QStringLiteral("DestroySplash"));
    SaveSettings();
    m_settings.reset();
    m_databases.reset();
    m_reporting.reset();
    if (m_recentLoaded) {
        m_trace.step(QStringLiteral("SaveRecentFiles"));
        saveRecentFiles();
    }
    return 0;
}

int CTarvexApp::run() {
    int code = 0;
    if (InitInstance()) {
        m_exit.setMainLoopLevel(QThread::currentThread()->loopLevel() + 1);
        code = QCoreApplication::exec();
    } else
        code = m_secondCopy ? 0 : 1;
    const int exitCode = ExitInstance();
    return code ? code : exitCode;
}

void CTarvexApp::openSettingsSheet() {
    if (m_settingsCommand)
        m_settingsCommand();
    else if (m_settings)
        CPS_Settings::Run(*m_prompts, CSettingsStore::instance(), mainFrame());
}

bool CTarvexApp::OnCommand(int id) {
    switch (id) {
    case ID_APP_ABOUT: {
        CAboutDlg about(mainFrame());
        about.exec();
        return true;
    }
    case ID_APP_EXIT:
        Exit();
        return true;
    case ID_VIEW_SETTINGS:
        openSettingsSheet();
        return true;
    default:
        return m_alerts && m_alerts->command().OnCommand(id);
    }
}

bool CTarvexApp::OnUpdateCommand(int id, CCmdUI& ui) {
    switch (id) {
    case ID_APP_ABOUT:
    case ID_APP_EXIT:
    case ID_VIEW_SETTINGS:
        return true;
    default:
        return m_alerts && m_alerts->command().OnUpdateCommand(id, ui);
    }
}

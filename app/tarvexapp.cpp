#include "tarvexapp.h"

#include "aboutdlg.h"
#include "adodatabase.h"
#include "appsettings.h"
#include "catalogue.h"
#include "cmdui.h"
#include "controlleroperations.h"
#include "databasereopen.h"
#include "datafolder.h"
#include "documentflow.h"
#include "editcommands.h"
#include "importcommands.h"
#include "instancehandover.h"
#include "languagescommand.h"
#include "mainframe.h"
#include "mainframetray.h"
#include "mainpanes.h"
#include "modalwindows.h"
#include "monthwatcher.h"
#include "panetext.h"
#include "photocommands.h"
#include "photoframe.h"
#include "regview.h"
#include "reportsender.h"
#include "resourceids.h"
#include "sessionend.h"
#include "shellregistration.h"
#include "skin.h"
#include "splashdlg.h"
#include "tarvexdoc.h"
#include "termformservices.h"
#include "termformview.h"
#include "termrecord.h"
#include "textformat.h"
#include "versioninfo.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPixmap>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <QTranslator>

using namespace res;

namespace {
CTarvexApp* g_app = nullptr;

// Document string fields used for the shell registration.
constexpr int kExtensionField = 4;
constexpr int kTypeNameField = 6;

class WaitCursor {
public:
    WaitCursor() {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor() {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
} // namespace

CTarvexApp::CTarvexApp(QObject* parent) : QObject(parent) {
    g_app = this;
}

CTarvexApp::~CTarvexApp() {
    if (!m_exitDone)
        ExitInstance();
    // The module goes with the list: its resources with it.
    if (m_languageList.hasModule())
        CCatalogue::instance().setSource(nullptr);
    if (g_app == this)
        g_app = nullptr;
}

CTarvexApp* CTarvexApp::Instance() {
    return g_app;
}

QWidget* CTarvexApp::photoWindow() const {
    return m_photo.get();
}

CSplashDlg* CTarvexApp::splash() const {
    return m_splash;
}

void CTarvexApp::setProgramFolder(const QString& folder) {
    m_programFolder = folder;
    m_folderSet = true;
}

void CTarvexApp::setArguments(const QStringList& arguments) {
    m_arguments = arguments;
    m_argumentsSet = true;
}

void CTarvexApp::setPrompts(IUserPrompts* prompts) {
    m_prompts = prompts ? prompts : &m_dialogPrompts;
}

void CTarvexApp::step(const QString& name) {
    m_trace.append(name);
}

void CTarvexApp::status(const QString& text) {
    if (m_splash)
        m_splash->SetStatusText(text);
}

QString CTarvexApp::defaultRegFilePath() const {
    return regFilePathDefault(m_programFolder);
}

bool CTarvexApp::InitInstance() {
    // One running copy: a second start hands its command line over and ends here, touching
    // nothing.
    step(QStringLiteral("SingleInstance"));
    m_handover = std::make_unique<CInstanceHandover>();
    if (m_handover->claim(m_lock,
                          m_argumentsSet ? m_arguments : QCoreApplication::arguments().mid(1),
                          *m_prompts) == CInstanceHandover::Outcome::SecondCopy) {
        m_secondCopy = true;
        return false;
    }

    // The profile is "Brindlo"/"Tarvex"; hosting the controls needs no set-up.
    step(QStringLiteral("Profile"));
    QCoreApplication::setOrganizationName(QStringLiteral("Brindlo"));
    QCoreApplication::setApplicationName(S(IDS_APP_TITLE));
    {
        const CVersionInfo version = CVersionInfo::parse(CVersionInfo::versionText());
        QCoreApplication::setApplicationVersion(version.version + QLatin1Char('.') + version.build);
    }

    // The program folder, with a trailing separator.
    step(QStringLiteral("ProgramFolder"));
    if (!m_folderSet)
        m_programFolder = QCoreApplication::applicationDirPath();
    if (!m_programFolder.endsWith(QLatin1Char('/')))
        m_programFolder += QLatin1Char('/');

    // LangWarning is needed before the language is chosen.
    step(QStringLiteral("LangWarning"));
    CAppSettings& settings = CAppSettings::instance();
    {
        auto store = CAppSettings::openStore();
        settings.LangWarning = CAppSettings::readLangWarning(*store);
    }

    // The language module named by "Language", before any window is made.
    step(QStringLiteral("Language"));
    {
        auto store = CAppSettings::openStore();
        m_languageList.Discover(
            m_programFolder,
            store->value(QStringLiteral("Settings/Language"), QStringLiteral("English"))
                .toString());
    }
    useLanguage();

    // The photo window, hidden; it owns the splash window.
    step(QStringLiteral("PhotoWindow"));
    m_photo = std::make_unique<CPhotoFrame>();
    if (!m_photo->Create())
        return false;
    m_photo->setDatabase([this] { return m_photoDb.get(); });
    m_photoCommands = std::make_unique<CPhotoCommands>(*m_photo);

    // The splash window, centred and painted at once.
    step(QStringLiteral("Splash"));
    m_splash = new CSplashDlg(m_photo.get());
    m_splash->showCentred();

    // The recent-file list of 4 entries.
    step(QStringLiteral("RecentFiles"));
    {
        auto store = CAppSettings::openStore();
        m_recent.load(*store);
        m_recentLoaded = true;
    }

    // The settings and the two databases.
    status(QStringLiteral("LoadGlobalSettings"));
    LoadGlobalSettings();

    // What the controller forms reach: the reporting connection, the photo window, the user.
    TermFormServices services;
    services.reportingDatabase = [this] { return m_mrdb.get(); };
    services.showPhoto = [this](const QString& mediaId, const QString& time) {
        emit photoHandedOver(mediaId, time);
    };
    services.linkFailed = [this](const QString& message) { m_prompts->stop(message); };
    services.registrationArrived = [this] {
        if (m_monthWatcher)
            m_monthWatcher->check();
    };
    services.registrationsNotWritten = [this](const QString& notice) {
        if (auto* tray = m_frame ? m_frame->findChild<CMainFrameTray*>() : nullptr)
            tray->ShowNotice(notice);
    };
    termFormServices() = std::move(services);
    connect(this, &CTarvexApp::photoHandedOver, m_photo.get(), &CPhotoFrame::SetPhoto);
    // A program running past the end of a month moves every controller's log to the new
    // month's file rather than appending to the old one. Every registration looks at the
    // month; the watcher's own timer is the backstop for a quiet night.
    m_monthWatcher = std::make_unique<CMonthWatcher>(nullptr, m_clock);
    CAppSettings::instance().MonthlyFileName = m_monthWatcher->monthlyFileName();
    connect(m_monthWatcher.get(), &CMonthWatcher::monthChanged, this, &CTarvexApp::OnMonthChanged);

    // The workspace, its main window and the file type.
    status(QStringLiteral("CSingleDocTemplate"));
    step(QStringLiteral("DocTemplate"));
    m_doc = std::make_unique<CTarvexDoc>();
    m_flow = std::make_unique<CDocumentFlow>(*m_doc, m_recent, *m_prompts);
    m_importCommands = std::make_unique<CImportCommands>(CImportCommands::Context{
        m_prompts, [this] { return m_doc.get(); }, [this]() -> QWidget* { return m_frame.get(); },
        [this] { SaveSettings(); }});
    m_importCommands->setDataLinkPrompt(m_dataLinkFactory);
    m_frame = std::make_unique<CMainFrame>();
    m_dialogPrompts.setOwner(m_frame.get());
    m_edit = std::make_unique<CEditCommands>(*m_doc, *m_prompts, m_frame.get());
    m_frame->commands().setDocumentTarget(m_flow.get());
    m_frame->commands().addWorkspaceTarget(m_photoCommands.get());
    m_frame->commands().addWorkspaceTarget(m_edit.get());
    m_languagesCommand = std::make_unique<CLanguagesCommand>(
        m_languageList, *m_prompts, [this] { return static_cast<QWidget*>(m_frame.get()); });
    m_frame->commands().addWorkspaceTarget(m_languagesCommand.get());
    m_frame->commands().addWorkspaceTarget(m_importCommands.get());
    m_operations = std::make_unique<CControllerOperations>(
        m_frame.get(), [this](const QString& text) { m_prompts->stop(text); });
    m_frame->commands().addWorkspaceTarget(m_operations.get());
    m_frame->commands().setApplicationTarget(this);
    if (!m_frame->Create())
        return false;
    if (m_frame->workspaceHost())
        m_doc->SetHost(m_frame->workspaceHost());
    // A registration picked in the list shows its person while the photo window is up.
    if (auto* panes = qobject_cast<CMainPanes*>(m_frame->panes())) {
        panes->regView()->setPhotoGate([] {
            const CAppSettings& s = CAppSettings::instance();
            return s.UsePhoto && s.ShowPhoto;
        });
        connect(panes->regView(), &CRegView::photoRequested, m_photo.get(), &CPhotoFrame::SetPhoto);
    }
    connect(m_flow.get(), &CDocumentFlow::titleChanged, m_frame.get(),
            [this](const QString& title) {
                m_frame->setWindowTitle(title + QStringLiteral(" - ") + S(IDS_APP_TITLE));
            });
    connect(m_flow.get(), &CDocumentFlow::recentFilesChanged, m_frame.get(),
            &CMainFrame::setRecentFiles);
    m_frame->setRecentFiles(m_recent.files());
    const CCatalogue& cat = CCatalogue::instance();
    CShellRegistration::registerFileType(QCoreApplication::applicationFilePath(),
                                         cat.documentString(kExtensionField),
                                         cat.documentString(kTypeNameField), S(IDS_APP_TITLE));

    // The command line: its first argument that is not an option names a workspace.
    status(QStringLiteral("CCommandLineInfo"));
    step(QStringLiteral("CommandLine"));
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
    status(QStringLiteral("ProcessShellCommand"));
    step(QStringLiteral("ProcessShellCommand"));
    const bool opened =
        fileName.isEmpty() ? m_flow->OnFileNew() : m_flow->OpenDocumentFile(fileName);
    if (!opened)
        return false;

    // Show the main window; dropped files open workspaces.
    status(QStringLiteral("ShowWindow"));
    step(QStringLiteral("ShowWindow"));
    connect(m_frame.get(), &CMainFrame::fileDropped, this,
            [this](const QString& path) { m_flow->OpenDocumentFile(path); });
    m_frame->ActivateFrame();
    m_frame->repaint();
    m_handover->serve(m_flow.get(), m_frame.get());

    // The splash window goes away by itself a second later.
    step(QStringLiteral("SplashTimer"));
    status(S(IDS_OK));
    m_splash->startHideTimer();

    // A workspace an earlier run could not save is offered back, over the main window.
    CSessionEnd::OfferRecoveryCopy(*m_prompts, *m_flow);

    // From here on log-out, Qt's quit and SIGTERM end the program through its exit.
    m_sessionEnd = std::make_unique<CSessionEnd>(*this);
    m_mainLoopLevel = QThread::currentThread()->loopLevel();
    return true;
}

void CTarvexApp::LoadGlobalSettings() {
    step(QStringLiteral("LoadGlobalSettings"));
    CAppSettings& settings = CAppSettings::instance();
    const QString regDefault = defaultRegFilePath();
    m_settingsLock.openUnowned(CSingleInstance::settingsLockName());
    {
        auto store = CAppSettings::openStore();
        settings.load(*store, regDefault);
    }
    // The lists show the workspace's byte texts through the code page the user chose (or the
    // locale's, when none is stored).
    PaneText::setCodePage(settings.CodePage);
    if (settings.UsePhoto && settings.ShowPhoto && m_photo)
        m_photo->show();
    applyVisualStyle();
    ReopenMRDatabase();
    ReopenPhotoDB();
}

void CTarvexApp::useLanguage() {
    std::unique_ptr<CCatalogue::Source> source = m_languageList.moduleSource();
    const bool found = source != nullptr;
    CCatalogue::instance().setSource(std::move(source));

    m_qtTranslator.reset();
    const QString locale = found ? m_languageList.moduleLocale() : QString();
    if (!locale.isEmpty()) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QStringLiteral("qt_") + locale,
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator.get());
            m_qtTranslator = std::move(translator);
        }
    }

    CAppSettings& settings = CAppSettings::instance();
    if (!found && settings.LangWarning)
        if (const std::optional<bool> showAgain = m_prompts->languageWarning(true))
            settings.LangWarning = *showAgain;
}

void CTarvexApp::applyVisualStyle() {
    CSkin::apply(CAppSettings::instance().VisualStyle);
}

void CTarvexApp::SaveSettings() {
    step(QStringLiteral("SaveSettings"));
    auto store = CAppSettings::openStore();
    CAppSettings::instance().save(*store);
}

void CTarvexApp::reopenDatabase(const QString& name, std::unique_ptr<CADODataBase>& database,
                                bool& featureOn, const QString& connection, int failureMessage) {
    step(name);
    status(name);
    WaitCursor wait;
    if (const std::optional<QString> error = ReopenDatabase(database, featureOn, connection)) {
        m_prompts->stop(FormatString(failureMessage, *error));
        SaveSettings();
    }
}

void CTarvexApp::ReopenMRDatabase() {
    CAppSettings& settings = CAppSettings::instance();
    // The SQLite driver takes its lock wait only when it connects.
    if (!m_mrdb)
        m_mrdb = std::make_unique<CADODataBase>();
    m_mrdb->SetCommandTimeout(kReportCommandTimeoutSeconds);
    reopenDatabase(QStringLiteral("ReopenMRDatabase"), m_mrdb, settings.UseMRDB, settings.MRDB,
                   IDS_MRDB_FAILED);
}

void CTarvexApp::OnMonthChanged(const QString& monthlyFileName) {
    CAppSettings::instance().MonthlyFileName = monthlyFileName;
    PointControllersAtRegistrationsFile();
}

void CTarvexApp::PointControllersAtRegistrationsFile() {
    if (!m_doc)
        return;
    const QString file = CAppSettings::instance().registrationsFile();
    for (const auto& [port, record] : m_doc->Controllers())
        if (auto* form = dynamic_cast<CTermFormView*>(record.Panel))
            form->SetRegistrationsFile(file);
}

void CTarvexApp::ReopenPhotoDB() {
    CAppSettings& settings = CAppSettings::instance();
    if (!settings.UsePhoto && m_photo)
        m_photo->hide();
    reopenDatabase(QStringLiteral("ReopenPhotoDB"), m_photoDb, settings.UsePhoto, settings.PhotoDB,
                   IDS_PHOTODB_FAILED);
    if (m_photo)
        m_photo->OnPhotoDatabaseReopened();
}

bool CTarvexApp::Exit() {
    step(QStringLiteral("Exit"));
    if (m_finishScheduled)
        return true;
    // A second Exit (from the tray, say) while the first one asks: the question stays.
    if (m_exitPromptOpen)
        return false;
    // Their loops run on the stack of whoever opened them; none may outlive the window.
    if (!closeModalWindows())
        return false;
    m_exitPromptOpen = true;
    const bool decided = !m_flow || m_flow->SaveModified();
    m_exitPromptOpen = false;
    if (!decided || m_finishScheduled)
        return decided;
    if (m_sessionEnd)
        m_sessionEnd->ExitDecided();
    scheduleFinish();
    return true;
}

void CTarvexApp::ExitWithoutPrompt() {
    if (m_finishScheduled)
        return;
    step(QStringLiteral("ExitWithoutPrompt"));
    closeModalWindows();
    scheduleFinish();
}

void CTarvexApp::SaveSessionSettings() {
    SaveSettings();
    saveRecentFiles();
    if (m_frame)
        m_frame->WriteWindowState();
}

void CTarvexApp::scheduleFinish() {
    m_finishScheduled = true;
    // The frame goes away after the command that asked for it has returned.
    QTimer::singleShot(0, this, &CTarvexApp::finishExit);
}

void CTarvexApp::finishExit() {
    // Still inside a dialog's or a menu's loop: wait until it has unwound.
    if (QThread::currentThread()->loopLevel() > m_mainLoopLevel || modalWindowOpen()) {
        closeModalWindows();
        QTimer::singleShot(10, this, &CTarvexApp::finishExit);
        return;
    }
    step(QStringLiteral("CloseWorkspace"));
    if (m_splash) {
        m_splash->SetStatusText(IDS_CLOSING);
        m_splash->showCentred();
    }
    destroyMainWindow();
    // Leave the program's event loop; with none running (the program driven from outside)
    // an exit request would linger and end the next loop that starts.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

void CTarvexApp::destroyMainWindow() {
    // The panels close their ports while their host still exists; the window follows.
    if (m_doc)
        m_doc->ClearWorkspace();
    if (m_frame) {
        m_frame->setExiting(true);
        m_frame->SaveWindowState();
        step(QStringLiteral("DestroyMainWindow"));
        m_dialogPrompts.setOwner(nullptr);
        m_frame->commands().removeWorkspaceTarget(m_photoCommands.get());
        m_frame->commands().removeWorkspaceTarget(m_edit.get());
        m_frame->commands().removeWorkspaceTarget(m_languagesCommand.get());
        m_frame->commands().removeWorkspaceTarget(m_importCommands.get());
        m_frame->commands().removeWorkspaceTarget(m_operations.get());
        m_frame.reset();
    }
    if (m_doc)
        m_doc->SetHost(nullptr);
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
    step(QStringLiteral("ExitInstance"));
    // A second copy leaves everything to the copy that runs.
    if (m_secondCopy)
        return 0;
    m_handover.reset();
    m_sessionEnd.reset();
    // Still there after a start that failed once the window was made.
    destroyMainWindow();
    m_flow.reset();
    m_edit.reset();
    m_doc.reset();
    m_monthWatcher.reset();
    termFormServices() = TermFormServices();
    step(QStringLiteral("DestroyPhotoWindow"));
    m_photoCommands.reset();
    m_photo.reset(); // and with it the splash window
    step(QStringLiteral("DestroySplash"));
    SaveSettings();
    m_mrdb.reset();
    m_photoDb.reset();
    if (m_recentLoaded) {
        step(QStringLiteral("SaveRecentFiles"));
        saveRecentFiles();
    }
    return 0;
}

int CTarvexApp::run() {
    int code = 0;
    if (InitInstance()) {
        m_mainLoopLevel = QThread::currentThread()->loopLevel() + 1;
        code = QCoreApplication::exec();
    } else
        code = m_secondCopy ? 0 : 1;
    const int exitCode = ExitInstance();
    return code ? code : exitCode;
}

bool CTarvexApp::OnCommand(int id) {
    switch (id) {
    case ID_APP_ABOUT: {
        CAboutDlg about(m_frame.get());
        about.exec();
        return true;
    }
    case ID_APP_EXIT:
        Exit();
        return true;
    case ID_VIEW_SETTINGS:
        if (m_settingsCommand)
            m_settingsCommand();
        return true;
    default:
        return false;
    }
}

bool CTarvexApp::OnUpdateCommand(int id, CCmdUI& /*ui*/) {
    switch (id) {
    case ID_APP_ABOUT:
    case ID_APP_EXIT:
    case ID_VIEW_SETTINGS:
        return true;
    default:
        return false;
    }
}

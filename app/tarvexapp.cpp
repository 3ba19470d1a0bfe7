#include "tarvexapp.h"

#include "aboutdlg.h"
#include "adodatabase.h"
#include "appsettings.h"
#include "catalogue.h"
#include "cmdui.h"
#include "databasereopen.h"
#include "documentflow.h"
#include "mainframe.h"
#include "resourceids.h"
#include "shellregistration.h"
#include "skin.h"
#include "splashdlg.h"
#include "tarvexdoc.h"
#include "versioninfo.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

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
    if (g_app == this)
        g_app = nullptr;
}

CTarvexApp* CTarvexApp::Instance() {
    return g_app;
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
    QString folder = m_programFolder;
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable())
        return folder;
    // An installed program's folder is not the user's: registrations go to the data folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Tarvex");
    QDir().mkpath(data);
    return data;
}

bool CTarvexApp::InitInstance() {
    // 1. One running copy: a second start ends here, touching nothing.
    step(QStringLiteral("SingleInstance"));
    if (!m_lock.acquire(CSingleInstance::programLockName()))
        return false;

    // 2-3. Control hosting needs nothing here; the profile is "Brindlo"/"Tarvex".
    step(QStringLiteral("Profile"));
    QCoreApplication::setOrganizationName(QStringLiteral("Brindlo"));
    QCoreApplication::setApplicationName(S(IDS_APP_TITLE));
    {
        const CVersionInfo version = CVersionInfo::parse(CVersionInfo::versionText());
        QCoreApplication::setApplicationVersion(version.version + QLatin1Char('.') + version.build);
    }

    // 4. The program folder, with a trailing separator.
    step(QStringLiteral("ProgramFolder"));
    if (!m_folderSet)
        m_programFolder = QCoreApplication::applicationDirPath();
    if (!m_programFolder.endsWith(QLatin1Char('/')))
        m_programFolder += QLatin1Char('/');

    // 5. LangWarning is needed before the language is chosen.
    step(QStringLiteral("LangWarning"));
    CAppSettings& settings = CAppSettings::instance();
    {
        std::unique_ptr<QSettings> store(CAppSettings::openStore());
        settings.LangWarning = CAppSettings::readLangWarning(*store);
    }

    // 6. Language modules: none are looked for yet, so the built-in English set stays.
    step(QStringLiteral("Language"));
    m_languages.clear();

    // 8. The photo window, hidden; it owns the splash window.
    step(QStringLiteral("PhotoWindow"));
    m_photo = new QWidget(nullptr, Qt::Window);
    m_photo->setObjectName(QStringLiteral("CPhotoFrame"));
    m_photo->setWindowTitle(S(IDR_MENU_PHOTO));
    m_photo->resize(320, 400);

    // 9. The splash window, centred and painted at once.
    step(QStringLiteral("Splash"));
    m_splash = new CSplashDlg(m_photo);
    m_splash->showCentred();

    // 10. The recent-file list of 4 entries.
    step(QStringLiteral("RecentFiles"));
    {
        std::unique_ptr<QSettings> store(CAppSettings::openStore());
        m_recent.load(*store);
        m_recentLoaded = true;
    }

    // 11.
    status(QStringLiteral("LoadGlobalSettings"));
    LoadGlobalSettings();

    // 12. The workspace, its main window and the file type.
    status(QStringLiteral("CSingleDocTemplate"));
    step(QStringLiteral("DocTemplate"));
    m_doc = std::make_unique<CTarvexDoc>();
    m_flow = std::make_unique<CDocumentFlow>(*m_doc, m_recent, *m_prompts);
    m_frame = new CMainFrame();
    m_dialogPrompts.setOwner(m_frame);
    m_frame->commands().setDocumentTarget(m_flow.get());
    m_frame->commands().setApplicationTarget(this);
    if (!m_frame->Create())
        return false;
    if (m_frame->workspaceHost())
        m_doc->SetHost(m_frame->workspaceHost());
    connect(m_flow.get(), &CDocumentFlow::titleChanged, m_frame, [this](const QString& title) {
        m_frame->setWindowTitle(title + QStringLiteral(" - ") + S(IDS_APP_TITLE));
    });
    connect(m_flow.get(), &CDocumentFlow::recentFilesChanged, m_frame, &CMainFrame::setRecentFiles);
    m_frame->setRecentFiles(m_recent.files());
    const CCatalogue& cat = CCatalogue::instance();
    CShellRegistration::registerFileType(QCoreApplication::applicationFilePath(),
                                         cat.documentString(kExtensionField),
                                         cat.documentString(kTypeNameField), S(IDS_APP_TITLE));

    // 13. The command line: its first argument that is not an option names a workspace.
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

    // 14. Open the named workspace or start an empty one.
    status(QStringLiteral("ProcessShellCommand"));
    step(QStringLiteral("ProcessShellCommand"));
    const bool opened =
        fileName.isEmpty() ? m_flow->OnFileNew() : m_flow->OpenDocumentFile(fileName);
    if (!opened)
        return false;

    // 15. Show the main window; dropped files open workspaces.
    status(QStringLiteral("ShowWindow"));
    step(QStringLiteral("ShowWindow"));
    connect(m_frame, &CMainFrame::fileDropped, this,
            [this](const QString& path) { m_flow->OpenDocumentFile(path); });
    m_frame->ActivateFrame();
    m_frame->repaint();

    // 16. The splash window goes away by itself a second later.
    step(QStringLiteral("SplashTimer"));
    status(S(IDS_OK));
    m_splash->startHideTimer();
    return true;
}

void CTarvexApp::LoadGlobalSettings() {
    step(QStringLiteral("LoadGlobalSettings"));
    CAppSettings& settings = CAppSettings::instance();
    const QString regDefault = defaultRegFilePath();
    m_settingsLock.openUnowned(CSingleInstance::settingsLockName());
    {
        std::unique_ptr<QSettings> store(CAppSettings::openStore());
        settings.load(*store, regDefault);
    }
    if (settings.UsePhoto && settings.ShowPhoto && m_photo)
        m_photo->show();
    applyVisualStyle();
    ReopenMRDatabase();
    ReopenPhotoDB();
}

void CTarvexApp::applyVisualStyle() {
    CSkin::apply(CAppSettings::instance().VisualStyle);
}

void CTarvexApp::SaveSettings() {
    step(QStringLiteral("SaveSettings"));
    std::unique_ptr<QSettings> store(CAppSettings::openStore());
    CAppSettings::instance().save(*store);
}

void CTarvexApp::reopenDatabase(const QString& name, std::unique_ptr<CADODataBase>& database,
                                bool& featureOn, const QString& connection, int failureMessage) {
    step(name);
    status(name);
    WaitCursor wait;
    if (const std::optional<QString> error = ReopenDatabase(database, featureOn, connection)) {
        QString text = S(failureMessage);
        text.replace(QStringLiteral("%s"), *error);
        m_prompts->stop(text);
        SaveSettings();
    }
}

void CTarvexApp::ReopenMRDatabase() {
    CAppSettings& settings = CAppSettings::instance();
    reopenDatabase(QStringLiteral("ReopenMRDatabase"), m_mrdb, settings.UseMRDB, settings.MRDB,
                   IDS_MRDB_FAILED);
}

void CTarvexApp::ReopenPhotoDB() {
    CAppSettings& settings = CAppSettings::instance();
    if (!settings.UsePhoto && m_photo)
        m_photo->hide();
    reopenDatabase(QStringLiteral("ReopenPhotoDB"), m_photoDb, settings.UsePhoto, settings.PhotoDB,
                   IDS_PHOTODB_FAILED);
}

bool CTarvexApp::Exit() {
    step(QStringLiteral("Exit"));
    if (m_flow && !m_flow->SaveModified())
        return false;
    // The frame goes away after the command that asked for it has returned.
    QTimer::singleShot(0, this, &CTarvexApp::finishExit);
    return true;
}

void CTarvexApp::finishExit() {
    step(QStringLiteral("CloseWorkspace"));
    if (m_splash) {
        m_splash->SetStatusText(IDS_CLOSING);
        m_splash->showCentred();
    }
    // The panels close their ports while their host still exists; the window follows.
    if (m_doc)
        m_doc->ClearWorkspace();
    if (m_frame) {
        m_frame->setExiting(true);
        m_frame->SaveWindowState();
        step(QStringLiteral("DestroyMainWindow"));
        delete m_frame;
        m_frame = nullptr;
    }
    if (m_doc)
        m_doc->SetHost(nullptr);
    // Leave the program's event loop; with none running (the program driven from outside)
    // an exit request would linger and end the next loop that starts.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

int CTarvexApp::ExitInstance() {
    if (m_exitDone)
        return 0;
    m_exitDone = true;
    step(QStringLiteral("ExitInstance"));
    // A second copy leaves everything to the copy that runs.
    if (!m_lock.held())
        return 0;
    if (m_frame) {
        // A start that failed after the window was made: it was never shown.
        if (m_doc)
            m_doc->ClearWorkspace();
        delete m_frame;
        m_frame = nullptr;
    }
    m_flow.reset();
    if (m_doc) {
        m_doc->SetHost(nullptr);
        m_doc.reset();
    }
    step(QStringLiteral("DestroyPhotoWindow"));
    delete m_photo; // owns the splash window
    m_photo = nullptr;
    m_splash = nullptr;
    step(QStringLiteral("DestroySplash"));
    SaveSettings();
    m_mrdb.reset();
    m_photoDb.reset();
    if (m_recentLoaded) {
        step(QStringLiteral("SaveRecentFiles"));
        std::unique_ptr<QSettings> store(CAppSettings::openStore());
        m_recent.save(*store);
        store->sync();
    }
    return 0;
}

int CTarvexApp::run() {
    int code = 0;
    if (InitInstance())
        code = QCoreApplication::exec();
    else
        code = 1;
    const int exitCode = ExitInstance();
    return code ? code : exitCode;
}

void CTarvexApp::togglePhoto() {
    CAppSettings& settings = CAppSettings::instance();
    settings.ShowPhoto = !settings.ShowPhoto;
    if (m_photo)
        m_photo->setVisible(settings.ShowPhoto);
}

bool CTarvexApp::OnCommand(int id) {
    switch (id) {
    case ID_APP_ABOUT: {
        CAboutDlg about(m_frame);
        about.exec();
        return true;
    }
    case ID_APP_EXIT:
        Exit();
        return true;
    case ID_VIEW_LANGUAGES:
        // The Languages dialog joins with the language modules; the list is empty until then
        // and the command stays disabled.
        return true;
    case ID_VIEW_PHOTO:
        togglePhoto();
        return true;
    case ID_VIEW_SETTINGS:
        if (m_settingsCommand)
            m_settingsCommand();
        return true;
    default:
        return false;
    }
}

bool CTarvexApp::OnUpdateCommand(int id, CCmdUI& ui) {
    switch (id) {
    case ID_APP_ABOUT:
    case ID_APP_EXIT:
    case ID_VIEW_SETTINGS:
        return true;
    case ID_VIEW_LANGUAGES:
        ui.Enable(!m_languages.isEmpty());
        return true;
    case ID_VIEW_PHOTO: {
        CAppSettings& settings = CAppSettings::instance();
        // With the photo lookup off the window cannot be shown: the flag falls back to off.
        if (!settings.UsePhoto)
            settings.ShowPhoto = false;
        ui.Enable(settings.UsePhoto);
        ui.SetCheck(settings.ShowPhoto);
        return true;
    }
    default:
        return false;
    }
}

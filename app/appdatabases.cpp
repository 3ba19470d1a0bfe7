#include "appdatabases.h"

#include "adodatabase.h"
#include "appreporting.h"
#include "appsettings.h"
#include "apptrace.h"
#include "databasereopen.h"
#include "photoframe.h"
#include "reportsender.h"
#include "resourceids.h"
#include "textformat.h"
#include "userprompts.h"
#include "waitcursor.h"

using namespace res;

CAppDatabases::CAppDatabases(CAppTrace& trace, IUserPrompts& prompts,
                             std::function<void()> saveSettings, CAppReporting* reporting)
    : m_trace(trace), m_prompts(prompts), m_saveSettings(std::move(saveSettings)),
      m_reporting(reporting) {}

CAppDatabases::~CAppDatabases() = default;

void CAppDatabases::setPhotoWindow(CPhotoFrame* photo) {
    m_photoWindow = photo;
}

bool CAppDatabases::reopen(const QString& name, std::unique_ptr<CADODataBase>& database,
                           bool& featureOn, const QString& connection, int failureMessage) {
    m_trace.step(name);
    m_trace.status(name);
    CWaitCursor wait;
    const std::optional<QString> error = ReopenDatabase(database, featureOn, connection);
    if (error)
        m_prompts.stop(FormatString(failureMessage, *error));
    return !error;
}

void CAppDatabases::ReopenMRDatabase() {
    CAppSettings& settings = CAppSettings::instance();
    // The SQLite driver takes its lock wait only when it connects.
    if (!m_mrdb)
        m_mrdb = std::make_unique<CADODataBase>();
    m_mrdb->SetCommandTimeout(kReportCommandTimeoutSeconds);
    // A database that does not open stays on: switched off, the registrations until someone
    // noticed would never be reported, whereas the queue keeps them until it answers.
    bool tryToOpen = settings.UseMRDB;
    reopen(QStringLiteral("ReopenMRDatabase"), m_mrdb, tryToOpen, settings.MRDB, IDS_MRDB_FAILED);
    // The registrations' reports go through the queue's own connection; this one tells the
    // user at once whether the database opens.
    if (m_reporting)
        m_reporting->Follow(settings);
}

void CAppDatabases::ReopenPhotoDB() {
    CAppSettings& settings = CAppSettings::instance();
    if (!settings.UsePhoto && m_photoWindow)
        m_photoWindow->hide();
    // The look-up runs on the user-interface thread, which every controller's registrations
    // pass through: a locked or hanging photo database may cost the same seconds as the
    // reporting command, not the intake. Set before connecting, as the SQLite driver wants.
    if (!m_photoDb)
        m_photoDb = std::make_unique<CADODataBase>();
    m_photoDb->SetCommandTimeout(kReportCommandTimeoutSeconds);
    if (!reopen(QStringLiteral("ReopenPhotoDB"), m_photoDb, settings.UsePhoto, settings.PhotoDB,
                IDS_PHOTODB_FAILED) &&
        m_saveSettings)
        m_saveSettings();
    if (m_photoWindow)
        m_photoWindow->OnPhotoDatabaseReopened();
}

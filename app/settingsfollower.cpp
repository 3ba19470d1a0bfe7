#include "settingsfollower.h"

#include "appdatabases.h"
#include "appsettings.h"
#include "apptrace.h"
#include "controllerlogs.h"
#include "panetext.h"
#include "skin.h"

#include <QSettings>
#include <QWidget>

CSettingsFollower::CSettingsFollower(CAppTrace& trace, CAppDatabases& databases,
                                     CControllerLogs& logs)
    : m_trace(trace), m_databases(databases), m_logs(logs) {}

void CSettingsFollower::Load(const QString& regFileDefault, QWidget* photoWindow) {
    m_trace.step(QStringLiteral("LoadGlobalSettings"));
    CAppSettings& settings = CAppSettings::instance();
    m_lock.openUnowned(CSingleInstance::settingsLockName());
    {
        auto store = CAppSettings::openStore();
        settings.load(*store, regFileDefault);
    }
    // The lists show the workspace's byte texts through the code page the user chose (or the
    // locale's, when none is stored).
    PaneText::setCodePage(settings.CodePage);
    if (settings.UsePhoto && settings.ShowPhoto && photoWindow)
        photoWindow->show();
    CSkin::apply(settings.VisualStyle);
    m_databases.ReopenMRDatabase();
    m_databases.ReopenPhotoDB();
}

void CSettingsFollower::Save() {
    m_trace.step(QStringLiteral("SaveSettings"));
    auto store = CAppSettings::openStore();
    CAppSettings::instance().save(*store);
}

void CSettingsFollower::SettingsChanged() {
    m_logs.PointAtRegistrationsFile();
    Save();
    m_databases.ReopenMRDatabase();
    m_databases.ReopenPhotoDB();
}

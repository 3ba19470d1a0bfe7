#include "settingsfollower.h"

#include "appdatabases.h"
#include "appsettings.h"
#include "apptrace.h"
#include "controllerlogs.h"
#include "panetext.h"
#include "settingsstore.h"
#include "skin.h"

#include <QSettings>
#include <QWidget>

CSettingsFollower::CSettingsFollower(CAppTrace& trace, CSettingsStore& store,
                                     CAppDatabases& databases, CControllerLogs& logs)
    : m_trace(trace), m_store(store), m_databases(databases), m_logs(logs) {
    connect(&m_store, &CSettingsStore::changed, this, &CSettingsFollower::changed);
}

void CSettingsFollower::Load(const QString& regFileDefault, QWidget* photoWindow) {
    m_trace.step(QStringLiteral("LoadGlobalSettings"));
    CAppSettings& settings = m_store.values();
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
    m_store.values().save(*store);
}

void CSettingsFollower::changed(const QStringList& names) {
    if (names.contains(QLatin1String("RegFilePath")))
        m_logs.PointAtRegistrationsFile();
    Save();
    if (CSettingsStore::anyOf(names, {"UseMRDB", "MRDB", "MRDBCall"}))
        m_databases.ReopenMRDatabase();
    if (CSettingsStore::anyOf(names, {"UsePhoto", "PhotoDB", "PhotoTable", "PhotoLastName",
                                      "PhotoFirstName", "PhotoMediaID", "PhotoPhoto"}))
        m_databases.ReopenPhotoDB();
}

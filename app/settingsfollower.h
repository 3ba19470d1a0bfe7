#pragma once

#include "singleinstance.h"

#include <QObject>
#include <QString>
#include <QStringList>

class CAppDatabases;
class CAppTrace;
class CControllerLogs;
class CSettingsStore;
class QWidget;

// The program follows its settings: loads them at start-up and takes them up (the lists' code
// page, the photo window, the visual style, both databases), writes them, and takes up what
// changes through the store: every controller's log follows the folder, the settings are
// saved, a database whose values were taken over is opened again.
class CSettingsFollower : public QObject {
    Q_OBJECT
public:
    CSettingsFollower(CAppTrace& trace, CSettingsStore& store, CAppDatabases& databases,
                      CControllerLogs& logs);

    // Reads every setting (RegFilePath defaults to regFileDefault) and takes them up; the photo
    // window shows when photos are on and shown.
    void Load(const QString& regFileDefault, QWidget* photoWindow);
    void Save();

private:
    void changed(const QStringList& names);

    CAppTrace& m_trace;
    CSettingsStore& m_store;
    CAppDatabases& m_databases;
    CControllerLogs& m_logs;
    CSingleInstance m_lock;
};

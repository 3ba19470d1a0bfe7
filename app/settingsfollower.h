#pragma once

#include "settingslistener.h"
#include "singleinstance.h"

#include <QString>

class CAppDatabases;
class CAppTrace;
class CControllerLogs;
class QWidget;

// The program follows its settings: loads them at start-up and takes them up (the lists' code
// page, the photo window, the visual style, both databases), writes them, and takes the
// settings sheet's new values up.
class CSettingsFollower : public ISettingsListener {
public:
    CSettingsFollower(CAppTrace& trace, CAppDatabases& databases, CControllerLogs& logs);

    // Reads every setting (RegFilePath defaults to regFileDefault) and takes them up; the photo
    // window shows when photos are on and shown.
    void Load(const QString& regFileDefault, QWidget* photoWindow);
    void Save();

    void SettingsChanged() override;

private:
    CAppTrace& m_trace;
    CAppDatabases& m_databases;
    CControllerLogs& m_logs;
    CSingleInstance m_lock;
};

#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class CADODataBase;
class CAppReporting;
class CAppTrace;
class CPhotoFrame;
class IUserPrompts;

// The program's two long-lived connections, the reporting and the photo database, and their
// reopening after the settings were loaded or changed: under the wait cursor, with its step on
// the splash window. One that does not open is reported; the photo look-up is then switched off
// and saved, reporting stays on and its queue waits for the database.
class CAppDatabases {
public:
    // saveSettings: writes the settings once the photo look-up was switched off; reporting: the
    // report queue, which takes the reporting settings up after each reopening (nullptr: none).
    CAppDatabases(CAppTrace& trace, IUserPrompts& prompts, std::function<void()> saveSettings,
                  CAppReporting* reporting = nullptr);
    ~CAppDatabases();
    CAppDatabases(const CAppDatabases&) = delete;
    CAppDatabases& operator=(const CAppDatabases&) = delete;

    // The photo window hides while photos are off and hears of each reopening.
    void setPhotoWindow(CPhotoFrame* photo);

    CADODataBase* reporting() const { return m_mrdb.get(); }
    CADODataBase* photo() const { return m_photoDb.get(); }

    void ReopenMRDatabase();
    void ReopenPhotoDB();

private:
    // False when the database did not open (featureOn is then off).
    bool reopen(const QString& name, std::unique_ptr<CADODataBase>& database, bool& featureOn,
                const QString& connection, int failureMessage);

    CAppTrace& m_trace;
    IUserPrompts& m_prompts;
    std::function<void()> m_saveSettings;
    CAppReporting* m_reporting;
    QPointer<CPhotoFrame> m_photoWindow;
    std::unique_ptr<CADODataBase> m_mrdb;
    std::unique_ptr<CADODataBase> m_photoDb;
};

#pragma once

#include "monthwatcher.h"

#include <QObject>

#include <functional>

class CTarvexDoc;

// Every running controller's log follows the registrations file the settings name: into the
// new month's file when the program runs past the end of a month, into another folder after
// the settings changed, without a new Init.
class CControllerLogs : public QObject {
    Q_OBJECT
public:
    // document: the workspace whose controllers log (nullptr: none open).
    // clock: whose month names the file (default: the system's).
    explicit CControllerLogs(std::function<CTarvexDoc*()> document,
                             CMonthWatcher::Clock clock = {}, QObject* parent = nullptr);

    // The one watcher of the month for the registrations files.
    CMonthWatcher* monthWatcher() { return &m_watcher; }

    // The month changed: the settings take its file name and every log moves there.
    void OnMonthChanged(const QString& monthlyFileName);
    // Every running controller logs into the registrations file the settings name now.
    void PointAtRegistrationsFile();

private:
    std::function<CTarvexDoc*()> m_document;
    CMonthWatcher m_watcher;
};

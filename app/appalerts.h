#pragma once

#include "alertengine.h"
#include "alertlistmodel.h"
#include "alertscommand.h"

#include <QObject>

#include <functional>

class CMainFrame;
class CTarvexDoc;

// The program's alerts: the one alert engine the controller forms feed, and where each alert
// goes: once through the tray's pop-up notifier, onto the status bar's line, into the list the
// Alerts window shows (View and tray menu). Lives from start-up to the end, across workspaces.
class CAppAlerts : public QObject {
    Q_OBJECT
public:
    CAppAlerts(std::function<CMainFrame*()> frame, std::function<CTarvexDoc*()> document,
               CAlertEngine::Clock clock = {});

    CAlertEngine& engine() { return m_engine; }
    CAlertListModel& list() { return m_list; }
    CAlertsCommand& command() { return m_command; }

private:
    void show(const Alert& alert);

    std::function<CMainFrame*()> m_frame;
    std::function<CTarvexDoc*()> m_document;
    CAlertEngine m_engine;
    CAlertListModel m_list;
    CAlertsCommand m_command;
};

#pragma once

#include "termpanel.h"
#include "termrecord.h"
#include "workspacehost.h"

#include <QString>
#include <QStringList>

// A host and panels that write down every call the workspace makes on them, in order.
class RecordingPanel : public ITermPanel {
public:
    RecordingPanel(QStringList& log, int& alive) : m_log(log), m_alive(alive) { ++m_alive; }
    ~RecordingPanel() override { --m_alive; }

    void Bind(int comPort, const CTermRecord& r) override {
        m_comPort = comPort;
        m_relay1 = r.Relay1Time;
        m_relay2 = r.Relay2Time;
        m_master = r.Master;
        m_masterName = r.MasterName;
        m_firmware = r.Firmware;
        m_log << QStringLiteral("bind %1|%2|%3|%4|%5|%6|%7|%8|%9")
                     .arg(r.ID)
                     .arg(QString::fromStdString(r.Name))
                     .arg(r.Code)
                     .arg(comPort)
                     .arg(r.Relay1Time)
                     .arg(r.Relay2Time)
                     .arg(QString::fromStdString(r.Master), QString::fromStdString(r.MasterName),
                          QString::fromStdString(r.Firmware));
    }
    int Relay1Time() const override { return m_relay1; }
    int Relay2Time() const override { return m_relay2; }
    std::string Master() const override { return m_master; }
    std::string MasterName() const override { return m_masterName; }
    std::string Firmware() const override { return m_firmware; }
    bool HasWindow() const override { return true; }
    void DestroyWindow() override {
        m_log << QStringLiteral("destroy COM%1").arg(m_comPort);
        delete this;
    }
    int ComPort() const { return m_comPort; }

private:
    QStringList& m_log;
    int& m_alive;
    int m_comPort = 0;
    int m_relay1 = 0;
    int m_relay2 = 0;
    std::string m_master, m_masterName, m_firmware;
};

class RecordingHost : public IWorkspaceHost {
public:
    QStringList log;
    int alive = 0;
    ITermPanel* shown = nullptr;

    ITermPanel* CreatePanelWindow(int comPort) override {
        log << QStringLiteral("create COM%1").arg(comPort);
        return new RecordingPanel(log, alive);
    }
    ITermPanel* ShowInControllerPane(ITermPanel* panel) override {
        log << (panel ? QStringLiteral("show COM%1")
                            .arg(static_cast<RecordingPanel*>(panel)->ComPort())
                      : QStringLiteral("show empty"));
        ITermPanel* old = shown;
        shown = panel;
        return old;
    }
    ITermPanel* PanelInControllerPane() const override { return shown; }
    void FillList(WorkspaceList list) override {
        static const char* names[] = {"employees", "controllers", "controller employees"};
        log << QStringLiteral("fill %1").arg(QLatin1String(names[int(list)]));
    }
};

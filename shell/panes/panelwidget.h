#pragma once

#include "termpanel.h"

#include <QWidget>

class QLabel;

// A controller's panel that shows the values it was bound with. It stands in
// the controller pane until the full controller form takes its place; the
// window owns the panel, so destroying the window frees it.
class CPanelWidget : public QWidget, public ITermPanel {
    Q_OBJECT
public:
    explicit CPanelWidget(QWidget* parent = nullptr);
    ~CPanelWidget() override;

    void Bind(int id, const std::string& name, int code, int comPort, int relay1Time,
              int relay2Time, const std::string& master, const std::string& masterName,
              const std::string& firmware) override;

    int Relay1Time() const override { return m_relay1Time; }
    int Relay2Time() const override { return m_relay2Time; }
    std::string Master() const override { return m_master; }
    std::string MasterName() const override { return m_masterName; }
    std::string Firmware() const override { return m_firmware; }

    bool HasWindow() const override { return true; }
    void DestroyWindow() override;

    int ComPort() const { return m_comPort; }
    // The text shown for a value (for tests and the snapshot tool).
    QString shownText() const;

    QSize minimumSizeHint() const override { return QSize(0, 0); }

private:
    QLabel* m_label;
    int m_comPort = 0;
    int m_relay1Time = 0;
    int m_relay2Time = 0;
    std::string m_master;
    std::string m_masterName;
    std::string m_firmware;
};

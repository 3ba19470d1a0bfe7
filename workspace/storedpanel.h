#pragma once

#include "termpanel.h"

// A panel that keeps the bound values as its live values. Without a window it serves the
// workspace when it runs without a desktop (tools, tests); a window that only shows the values
// derives from it. Allocated with new; DestroyWindow frees it.
class CStoredPanel : public ITermPanel {
public:
    void Bind(int comPort, const CTermRecord& record) override;

    int Relay1Time() const override { return m_relay1Time; }
    int Relay2Time() const override { return m_relay2Time; }
    std::string Master() const override { return m_master; }
    std::string MasterName() const override { return m_masterName; }
    std::string Firmware() const override { return m_firmware; }

    bool HasWindow() const override { return true; }
    void DestroyWindow() override;

    // Stand in for the user and the controller commands changing the panel's copies.
    void SetRelay1Time(int index) { m_relay1Time = index; }
    void SetRelay2Time(int index) { m_relay2Time = index; }
    void SetMaster(const std::string& master) { m_master = master; }
    void SetMasterName(const std::string& name) { m_masterName = name; }
    void SetFirmware(const std::string& firmware) { m_firmware = firmware; }

    int ID() const { return m_id; }
    const std::string& Name() const { return m_name; }
    int Code() const { return m_code; }
    int ComPort() const { return m_comPort; }

private:
    int m_id = 0;
    std::string m_name;
    int m_code = 0;
    int m_comPort = 0;
    int m_relay1Time = 0;
    int m_relay2Time = 0;
    std::string m_master;
    std::string m_masterName;
    std::string m_firmware;
};

#include "storedpanel.h"

void CStoredPanel::Bind(int id, const std::string& name, int code, int comPort, int relay1Time,
                        int relay2Time, const std::string& master, const std::string& masterName,
                        const std::string& firmware) {
    m_id = id;
    m_name = name;
    m_code = code;
    m_comPort = comPort;
    m_relay1Time = relay1Time;
    m_relay2Time = relay2Time;
    m_master = master;
    m_masterName = masterName;
    m_firmware = firmware;
}

void CStoredPanel::DestroyWindow() {
    delete this;
}

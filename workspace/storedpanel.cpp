#include "storedpanel.h"

#include "termrecord.h"

void CStoredPanel::Bind(int comPort, const CTermRecord& record) {
    m_id = record.ID;
    m_name = record.Name;
    m_code = record.Code;
    m_comPort = comPort;
    m_relay1Time = record.Relay1Time;
    m_relay2Time = record.Relay2Time;
    m_master = record.Master;
    m_masterName = record.MasterName;
    m_firmware = record.Firmware;
}

void CStoredPanel::DestroyWindow() {
    delete this;
}

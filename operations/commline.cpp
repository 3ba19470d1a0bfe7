#include "commline.h"

#include "vr12comm.h"

int CCommLine::GetStatus() {
    return m_comm.GetStatus();
}

QString CCommLine::FirmWare() {
    return m_comm.GetFirmWare();
}

QString CCommLine::ShowMaster() {
    return m_comm.ShowMaster();
}

int CCommLine::NewMaster(const QString& mediaId) {
    return m_comm.NewMaster(mediaId);
}

void CCommLine::OpenLock() {
    m_comm.OpenLock();
}

QString CCommLine::ReadParams() {
    return m_comm.ReadParams();
}

int CCommLine::WriteParams(const QString& record) {
    return m_comm.WriteParams(record);
}

QString CCommLine::ReadFirstID() {
    return m_comm.ReadFirstID();
}

QString CCommLine::ReadNextID() {
    return m_comm.ReadNextID();
}

int CCommLine::AddID(const QString& mediaId) {
    return m_comm.AddID(mediaId);
}

int CCommLine::EraseID(int slot) {
    return m_comm.EraseID(short(slot));
}

int CCommLine::ClearTable() {
    return m_comm.ClearTable();
}

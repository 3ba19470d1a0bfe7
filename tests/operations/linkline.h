#pragma once

#include "controllerline.h"
#include "vr12link.h"

// The operations' calls answered straight by a link, without the program's binding.
class LinkLine : public IControllerLine {
public:
    explicit LinkLine(vr12comm::Vr12Link& link) : m_link(link) {}

    vr12comm::GetStatusResult GetStatus() override { return m_link.getStatus(); }
    QString GetFirmWare() override { return QString::fromLatin1(m_link.firmware()); }
    QString ShowMaster() override { return QString::fromLatin1(m_link.showMaster()); }
    vr12comm::IdWriteResult NewMaster(const QString& id) override {
        return m_link.newMaster(id.toLatin1());
    }
    void OpenLock() override { m_link.openLock(); }
    QString ReadParams() override { return QString::fromLatin1(m_link.readParams()); }
    vr12comm::WriteParamsResult WriteParams(const QString& record) override {
        return m_link.writeParams(record.toLatin1());
    }
    QString ReadFirstID() override { return QString::fromLatin1(m_link.readFirstID()); }
    QString ReadNextID() override { return QString::fromLatin1(m_link.readNextID()); }
    vr12comm::IdWriteResult AddID(const QString& id) override {
        return m_link.addID(id.toLatin1());
    }
    vr12comm::EraseIdResult EraseID(short slot) override { return m_link.eraseID(slot); }
    vr12comm::ClearTableResult ClearTable() override { return m_link.clearTable(); }

private:
    vr12comm::Vr12Link& m_link;
};

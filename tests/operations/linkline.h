#pragma once

#include "controllerline.h"
#include "vr12link.h"

// The operations' calls answered straight by a link, without the program's binding.
class LinkLine : public IControllerLine {
public:
    explicit LinkLine(vr12comm::Vr12Link& link) : m_link(link) {}

    int GetStatus() override { return m_link.getStatus(); }
    QString FirmWare() override { return QString::fromLatin1(m_link.firmware()); }
    QString ShowMaster() override { return QString::fromLatin1(m_link.showMaster()); }
    int NewMaster(const QString& id) override { return m_link.newMaster(id.toLatin1()); }
    void OpenLock() override { m_link.openLock(); }
    QString ReadParams() override { return QString::fromLatin1(m_link.readParams()); }
    int WriteParams(const QString& record) override {
        return m_link.writeParams(record.toLatin1());
    }
    QString ReadFirstID() override { return QString::fromLatin1(m_link.readFirstID()); }
    QString ReadNextID() override { return QString::fromLatin1(m_link.readNextID()); }
    int AddID(const QString& id) override { return m_link.addID(id.toLatin1()); }
    int EraseID(int slot) override { return m_link.eraseID(short(slot)); }
    int ClearTable() override { return m_link.clearTable(); }

private:
    vr12comm::Vr12Link& m_link;
};

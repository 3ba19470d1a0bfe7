#pragma once

#include "controllerline.h"

class CVr12Comm;

// The controller operations' calls answered by a form's control binding.
class CCommLine : public IControllerLine {
public:
    explicit CCommLine(CVr12Comm& comm) : m_comm(comm) {}

    int GetStatus() override;
    QString FirmWare() override;
    QString ShowMaster() override;
    int NewMaster(const QString& mediaId) override;
    void OpenLock() override;
    QString ReadParams() override;
    int WriteParams(const QString& record) override;
    QString ReadFirstID() override;
    QString ReadNextID() override;
    int AddID(const QString& mediaId) override;
    int EraseID(int slot) override;
    int ClearTable() override;

private:
    CVr12Comm& m_comm;
};

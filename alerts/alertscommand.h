#pragma once

#include "commandtarget.h"

#include <QPointer>

#include <functional>

class CAlertListModel;
class CAlertsDlg;
class QWidget;

// View Alerts... (also in the tray menu): opens the Alerts window over the main window, or
// brings it to the front when it is open already. Always enabled.
class CAlertsCommand : public ICommandTarget {
public:
    CAlertsCommand(CAlertListModel& model, std::function<QWidget*()> owner);
    ~CAlertsCommand() override;

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    // The window while it exists.
    CAlertsDlg* dialog() const;

private:
    CAlertListModel& m_model;
    std::function<QWidget*()> m_owner;
    QPointer<CAlertsDlg> m_dialog;
};

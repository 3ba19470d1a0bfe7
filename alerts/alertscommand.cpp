#include "alertscommand.h"

#include "alertsdlg.h"
#include "cmdui.h"
#include "resourceids.h"

CAlertsCommand::CAlertsCommand(CAlertListModel& model, std::function<QWidget*()> owner)
    : m_model(model), m_owner(std::move(owner)) {}

CAlertsCommand::~CAlertsCommand() {
    delete m_dialog;
}

CAlertsDlg* CAlertsCommand::dialog() const {
    return m_dialog;
}

bool CAlertsCommand::OnCommand(int id) {
    if (id != res::ID_VIEW_ALERTS)
        return false;
    QWidget* owner = m_owner ? m_owner() : nullptr;
    // A window made over a main window that has gone since is made again over the new one.
    if (m_dialog && m_dialog->parentWidget() != owner)
        delete m_dialog;
    if (!m_dialog)
        m_dialog = new CAlertsDlg(m_model, owner);
    // The main window may be hidden in the tray: the list still shows.
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    return true;
}

bool CAlertsCommand::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id != res::ID_VIEW_ALERTS)
        return false;
    ui.Enable(true);
    return true;
}

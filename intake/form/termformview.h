#pragma once

#include "reconnectplan.h"
#include "reportentry.h"
#include "termpanel.h"
#include "vr12comm.h"

#include <QString>
#include <QWidget>

#include <optional>

class QComboBox;
class QLineEdit;

// A controller's form: its fields, the two relay-time lists and its communication control,
// whose registrations it alone receives. The window owns the panel; destroying the window
// stops the control.
class CTermFormView : public QWidget, public ITermPanel {
    Q_OBJECT
public:
    static constexpr int kRelayTimes = 8;

    explicit CTermFormView(QWidget* parent = nullptr);
    ~CTermFormView() override;

    void Bind(int comPort, const CTermRecord& record) override;
    int Relay1Time() const override { return m_relay1; }
    int Relay2Time() const override { return m_relay2; }
    std::string Master() const override { return m_master; }
    std::string MasterName() const override { return m_masterName; }
    std::string Firmware() const override { return m_firmware; }
    bool HasWindow() const override { return true; }
    void DestroyWindow() override;

    CVr12Comm& Comm() { return m_comm; }
    int ID() const { return m_id; }
    int Code() const { return m_code; }
    int ComPort() const { return m_comPort; }
    QString Status() const { return m_status; }
    QString LastRegistration() const { return m_lastReg; }
    // The last registration's report as the handler decided it (none: it had none), and
    // whether the report queue took it.
    const std::optional<ReportEntry>& LastReport() const { return m_lastReport; }
    bool LastReportQueued() const { return m_lastReportQueued; }

    // The controller operations change these and redisplay.
    void SetStatus(const QString& status);
    void SetMaster(const std::string& master, const std::string& masterName);
    void SetFirmware(const std::string& firmware);
    // Relay time indices, 0-7 for the listed times (any other shows as unknown); neither the
    // record nor the modified flag changes.
    void SetRelayTimes(int relay1, int relay2);

    // Points the control's log at another file (the month or the folder changed).
    void SetRegistrationsFile(const QString& path) override;

    QLineEdit* field(int item) const;
    QComboBox* relayList(int item) const;

    QSize minimumSizeHint() const override { return QSize(0, 0); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateData(bool saveAndValidate);
    void OnRxMessage();
    void OnCallFailed(const QString& text);
    void OnErrMessage();
    // A try of the reconnect plan opened the port again.
    void OnPortBack();
    void OnRelayTimeChanged();
    // Whether registrations reach the file: "Error" while they do not, "OK" again once they
    // do; the user is told once when it starts.
    void ShowRegistrationsFile();
    // Why the link is down or registrations are not written, on the Status field (nothing
    // while all is well).
    void ShowLinkError();
    // The control's reason for a link that is down.
    QString linkError() const;
    // The link check asks this controller whenever its port is open.
    void WatchLink();
    void StopWatchingLink();
    void OnLinkCheckLost(const QString& text);
    void OnLinkCheckBack();

    CVr12Comm m_comm;
    // Tries the port again while it is down; stopped before the control, whose port it opens.
    CReconnectPlan m_reconnect{[this] { return m_comm.Reopen(short(m_comPort - 1)); }};
    int m_id = 0;
    std::string m_name;
    int m_code = 0;
    int m_comPort = 1;
    std::string m_master;
    std::string m_masterName;
    std::string m_firmware;
    QString m_lastReg;
    int m_relay1 = 0;
    int m_relay2 = 0;
    QString m_status;
    std::optional<ReportEntry> m_lastReport;
    bool m_lastReportQueued = false;
    bool m_filling = false;
    // Init opened the port and no hang-up has been seen since.
    bool m_portUp = false;
    // The control said registrations are not written, and none has been written since.
    bool m_fileFailing = false;
    // Bind has run: the controller's port is known to the alerts.
    bool m_bound = false;
    // Why the controller counts as lost to the link check; empty while it answers.
    QString m_linkCheckLost;

    QLineEdit* m_idEdit;
    QLineEdit* m_nameEdit;
    QLineEdit* m_codeEdit;
    QLineEdit* m_comEdit;
    QLineEdit* m_masterEdit;
    QLineEdit* m_employeeEdit;
    QLineEdit* m_firmwareEdit;
    QLineEdit* m_lastRegEdit;
    QLineEdit* m_statusEdit;
    QComboBox* m_relay1List;
    QComboBox* m_relay2List;
};

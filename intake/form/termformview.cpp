#include "termformview.h"

#include "alertinput.h"
#include "appsettings.h"
#include "catalogue.h"
#include "linkchecker.h"
#include "panetext.h"
#include "presentedmedia.h"
#include "registrationplan.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "termformservices.h"
#include "termrecord.h"
#include "textformat.h"
#include "unknownmedium.h"
#include "userprompts.h"
#include "vr12commfactory.h"
#include "waitcursor.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

using namespace res;

namespace {
const char* const kRelayTexts[CTermFormView::kRelayTimes] = {"0.5", "1",  "2",  "4",
                                                             "8",   "16", "32", "64"};

QString itemText(int item) {
    return CCatalogue::instance().dialogText(IDD_TERMFORM, item);
}

bool isRelayTime(int index) {
    return index >= 0 && index < CTermFormView::kRelayTimes;
}

// A value the list does not hold (a workspace file can carry any number) shows as unknown
// and stays the value until the user picks a time.
void showRelayTime(QComboBox* list, int index) {
    const bool known = isRelayTime(index);
    const QString unknown = known ? QString() : FormatString(IDS_RELAY_TIME_UNKNOWN, index);
    list->setPlaceholderText(unknown);
    list->setCurrentIndex(known ? index : -1);
    list->setAccessibleDescription(unknown);
}
} // namespace

CTermFormView::CTermFormView(QWidget* parent) : QWidget(parent), m_status(S(IDS_OK)) {
    setObjectName(QStringLiteral("CTermFormView"));
    setAutoFillBackground(true);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);

    auto* grid = new QGridLayout(this);
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    int row = 0;
    auto addEdit = [&](int item, bool digitsOnly) {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(true);
        edit->setObjectName(QStringLiteral("item%1").arg(item));
        if (digitsOnly)
            edit->setValidator(digits);
        auto* label = new QLabel(itemText(item), this);
        label->setBuddy(edit);
        edit->setAccessibleName(itemText(item));
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1, 1, 2);
        ++row;
        return edit;
    };
    m_idEdit = addEdit(IDC_TERM_ID, true);
    m_nameEdit = addEdit(IDC_TERM_NAME, false);
    m_codeEdit = addEdit(IDC_TERM_CODE, true);
    m_comEdit = addEdit(IDC_TERM_COMPORT, true);
    m_masterEdit = addEdit(IDC_TERM_MASTER, false);
    m_employeeEdit = addEdit(IDC_TERM_EMPLOYEE, false);
    m_firmwareEdit = addEdit(IDC_TERM_FIRMWARE, false);
    m_lastRegEdit = addEdit(IDC_TERM_LASTREG, false);

    const int relayRow = row;
    auto addList = [&](int item) {
        auto* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("item%1").arg(item));
        for (const char* text : kRelayTexts)
            list->addItem(QString::fromLatin1(text));
        auto* label = new QLabel(itemText(item), this);
        label->setBuddy(list);
        list->setAccessibleName(itemText(item));
        grid->addWidget(label, row, 0);
        grid->addWidget(list, row, 1);
        ++row;
        connect(list, &QComboBox::currentIndexChanged, this, &CTermFormView::OnRelayTimeChanged);
        return list;
    };
    m_relay1List = addList(IDC_TERM_RELAY1);
    m_relay2List = addList(IDC_TERM_RELAY2);
    m_statusEdit = addEdit(IDC_TERM_STATUS, false);
    m_statusEdit->installEventFilter(this);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);

    // The control shows its link picture to the right of the relay lists.
    const QString error = CVr12CommFactory::Program().CreateControl(m_comm, this);
    if (QWidget* control = m_comm.Widget()) {
        control->setObjectName(QStringLiteral("item%1").arg(IDC_TERM_CONTROL));
        grid->addWidget(control, relayRow, 2, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        TermFormServices& services = termFormServices();
        if (!services.linkFailureTold && services.prompts) {
            services.linkFailureTold = true;
            services.prompts->stop(error);
        }
    }
    connect(&m_comm, &CVr12Comm::RxMessage, this, &CTermFormView::OnRxMessage);
    // Queued: the control writes the registration's line after the handlers return.
    connect(&m_comm, &CVr12Comm::RxMessage, this, &CTermFormView::ShowRegistrationsFile,
            Qt::QueuedConnection);
    // Queued: a call can fail inside the registration handler, while the receiver waits.
    connect(&m_comm, &CVr12Comm::CallFailed, this, &CTermFormView::OnCallFailed,
            Qt::QueuedConnection);
    // ErrMessage comes for a port that went away and for registrations not written.
    connect(&m_comm, &CVr12Comm::ErrMessage, this, &CTermFormView::OnErrMessage);
    connect(&m_reconnect, &CReconnectPlan::back, this, &CTermFormView::OnPortBack);
    connect(&m_reconnect, &CReconnectPlan::stillDown, this, &CTermFormView::ShowLinkError);
    UpdateData(false);
}

CTermFormView::~CTermFormView() {
    // Binding and stopping a control wait on its port and its receiver.
    CWaitCursor wait;
    StopWatchingLink();
    m_comm.Destroy();
    // What lasted at a controller that leaves the workspace does not end by itself.
    if (m_bound)
        if (IAlertInput* alerts = termFormServices().alerts)
            alerts->controllerGone(m_comPort);
}

void CTermFormView::DestroyWindow() {
    delete this;
}

QLineEdit* CTermFormView::field(int item) const {
    for (QLineEdit* e : {m_idEdit, m_nameEdit, m_codeEdit, m_comEdit, m_masterEdit, m_employeeEdit,
                         m_firmwareEdit, m_lastRegEdit, m_statusEdit})
        if (e->objectName() == QStringLiteral("item%1").arg(item))
            return e;
    return nullptr;
}

QComboBox* CTermFormView::relayList(int item) const {
    return item == IDC_TERM_RELAY1   ? m_relay1List
           : item == IDC_TERM_RELAY2 ? m_relay2List
                                     : nullptr;
}

void CTermFormView::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        bool ok = false;
        const int com = m_comEdit->text().toInt(&ok);
        if (ok && com >= 1 && com <= 255)
            m_comPort = com;
        const int code = m_codeEdit->text().toInt(&ok);
        if (ok && code >= 0 && code <= 65535)
            m_code = code;
        if (isRelayTime(m_relay1List->currentIndex()))
            m_relay1 = m_relay1List->currentIndex();
        if (isRelayTime(m_relay2List->currentIndex()))
            m_relay2 = m_relay2List->currentIndex();
        return;
    }
    m_filling = true;
    m_idEdit->setText(QString::number(m_id));
    m_nameEdit->setText(PaneText::toUnicode(m_name));
    m_codeEdit->setText(QString::number(m_code));
    m_comEdit->setText(QString::number(m_comPort));
    m_masterEdit->setText(PaneText::ascii(m_master));
    m_employeeEdit->setText(PaneText::toUnicode(m_masterName));
    m_firmwareEdit->setText(PaneText::toUnicode(m_firmware));
    m_lastRegEdit->setText(m_lastReg);
    showRelayTime(m_relay1List, m_relay1);
    showRelayTime(m_relay2List, m_relay2);
    m_statusEdit->setText(m_status);
    m_filling = false;
}

void CTermFormView::Bind(int comPort, const CTermRecord& record) {
    CWaitCursor wait;
    StopWatchingLink();
    IAlertInput* alerts = termFormServices().alerts;
    if (m_bound && comPort != m_comPort && alerts)
        alerts->controllerGone(m_comPort);
    m_bound = true;
    m_id = record.ID;
    m_name = record.Name;
    m_code = record.Code;
    m_comPort = comPort;
    m_relay1 = record.Relay1Time;
    m_relay2 = record.Relay2Time;
    m_master = record.Master;
    m_masterName = record.MasterName;
    m_firmware = record.Firmware;
    UpdateData(false);

    m_comm.SetAsciiFileName(CAppSettings::instance().registrationsFile());
    m_portUp = m_comm.Init(short(comPort - 1));
    if (m_portUp)
        m_reconnect.up();
    else if (m_comm.IsLinked())
        m_reconnect.down();
    if (!m_portUp) {
        m_status = S(IDS_ERROR);
        UpdateData(false);
    }
    if (alerts) {
        if (m_portUp)
            alerts->controllerBack(m_comPort);
        else
            alerts->controllerLost(m_comPort, linkError());
    }
    ShowRegistrationsFile();
    WatchLink();
}

void CTermFormView::WatchLink() {
    CLinkChecker* checker = termFormServices().linkCheck;
    // Also a port that did not open: the check waits for it to open.
    if (!checker)
        return;
    checker->add(
        m_comPort, m_comm,
        {[this](const QString& text) { OnLinkCheckLost(text); }, [this] { OnLinkCheckBack(); }});
}

void CTermFormView::StopWatchingLink() {
    m_linkCheckLost.clear();
    if (CLinkChecker* checker = termFormServices().linkCheck; checker && m_bound)
        checker->remove(m_comPort);
}

void CTermFormView::OnLinkCheckLost(const QString& text) {
    m_linkCheckLost = text;
    SetStatus(S(IDS_ERROR));
    ShowLinkError();
    if (IAlertInput* alerts = termFormServices().alerts)
        alerts->controllerLost(m_comPort, text);
}

void CTermFormView::OnLinkCheckBack() {
    m_linkCheckLost.clear();
    // Registrations that are not written keep their "Error".
    if (m_portUp && !m_fileFailing && m_status == S(IDS_ERROR)) {
        m_status = S(IDS_OK);
        UpdateData(false);
    }
    ShowLinkError();
    if (IAlertInput* alerts = termFormServices().alerts)
        alerts->controllerBack(m_comPort);
}

QString CTermFormView::linkError() const {
    const vr12comm::IVr12CommControl* control = m_comm.Control();
    const QString why = control ? control->lastLinkError() : QString();
    return why.isEmpty() ? m_comm.ErrorText() : why;
}

void CTermFormView::ShowRegistrationsFile() {
    const vr12comm::IVr12CommControl* control = m_comm.Control();
    // A port that is down has its own "Error"; nothing arrives to be written.
    const bool failing = m_portUp && control && !control->logFileError().isEmpty();
    if (failing) {
        // Also over a command's "OK" since the last lost line: the loss matters more.
        m_status = S(IDS_ERROR);
        UpdateData(false);
        if (IAlertInput* alerts = termFormServices().alerts; alerts && !m_fileFailing)
            alerts->registrationsNotWritten(m_comPort, control->logFileError());
    } else if (m_fileFailing && m_portUp) {
        if (m_status == S(IDS_ERROR)) {
            m_status = S(IDS_OK);
            UpdateData(false);
        }
        if (IAlertInput* alerts = termFormServices().alerts; alerts && control)
            alerts->registrationsWritten(m_comPort);
    }
    // While the port is down nothing is written or lost: the file's state waits for its return.
    if (m_portUp)
        m_fileFailing = failing;
    ShowLinkError();
}

void CTermFormView::ShowLinkError() {
    // "Error" alone does not tell an installer what to do (a busy port, a missing device, no
    // access to it, a full folder): the control's own words go on the Status field.
    const vr12comm::IVr12CommControl* control = m_comm.Control();
    QString why = !control   ? (m_portUp ? QString() : m_comm.ErrorText())
                  : m_portUp ? control->logFileError()
                             : control->lastLinkError();
    if (why.isEmpty() && m_portUp)
        why = m_linkCheckLost;
    if (!m_portUp && m_reconnect.isWaiting())
        why = FormatString(IDS_NEXT_TRY, why, m_reconnect.secondsToNextTry());
    m_statusEdit->setToolTip(why);
    m_statusEdit->setAccessibleDescription(why);
}

void CTermFormView::SetStatus(const QString& status) {
    m_status = status;
    UpdateData(false);
    // A command that went well was answered: the controller is heard.
    if (status == S(IDS_OK) && m_portUp)
        if (CLinkChecker* checker = termFormServices().linkCheck)
            checker->heard(m_comPort);
}

void CTermFormView::SetMaster(const std::string& master, const std::string& masterName) {
    m_master = master;
    m_masterName = masterName;
    UpdateData(false);
}

void CTermFormView::SetFirmware(const std::string& firmware) {
    m_firmware = firmware;
    UpdateData(false);
}

void CTermFormView::SetRelayTimes(int relay1, int relay2) {
    m_relay1 = relay1;
    m_relay2 = relay2;
    UpdateData(false);
}

void CTermFormView::SetRegistrationsFile(const QString& path) {
    m_comm.SetAsciiFileName(path);
    ShowRegistrationsFile();
}

void CTermFormView::OnCallFailed(const QString& text) {
    m_status = S(IDS_ERROR);
    UpdateData(false);
    if (const TermFormServices& services = termFormServices(); services.prompts)
        services.prompts->stop(text);
}

void CTermFormView::OnRxMessage() {
    const TermFormServices& services = termFormServices();
    // Before the control writes the line: a new month points it at the new month's file.
    if (services.registrationArrived)
        services.registrationArrived();
    if (services.linkCheck)
        services.linkCheck->heard(m_comPort);
    // The control's receiver waits holding the command lock: only its getters may be called.
    const Registration registration = readRegistration(m_comm);
    const RegistrationPlan plan = planRegistration(registration, m_id, m_code,
                                                   IntakeSwitches::from(CAppSettings::instance()));

    m_lastReg = plan.lastReg;
    UpdateData(false);

    if (services.listRow)
        services.listRow(plan.listRow, m_id);

    if (services.alerts) {
        const CTarvexDoc* doc = OwnerDocument();
        services.alerts->registrationArrived(
            m_comPort, doc && IsUnknownMedium(doc->Employees(),
                                              registration.mediaId.toLatin1().toStdString()));
    }

    // Into the queue on disk: its worker sends it, so a database that hangs or stays locked
    // never holds up the next registration.
    m_lastReport = plan.report;
    m_lastReportQueued = plan.report && services.queueReport && services.queueReport(*plan.report);

    if (plan.showPhoto && services.showPhoto)
        services.showPhoto(plan.photoMediaId, plan.photoCaption);

    // Whoever waits for a medium hears of it once this handler has returned.
    presentedMedia().Registered({registration.mediaId, PaneText::toUnicode(m_name), m_id,
                                 registration.dateReg, registration.timeReg});
}

void CTermFormView::OnErrMessage() {
    const vr12comm::IVr12CommControl* control = m_comm.Control();
    if (!control)
        return;
    const int state = control->linkState();
    if (m_portUp && state != vr12comm::LinkBothOpen && state != vr12comm::LinkPortOnly) {
        // The controller was unplugged or switched off: the picture already lost its cable.
        m_portUp = false;
        m_reconnect.down();
        SetStatus(S(IDS_ERROR));
        if (IAlertInput* alerts = termFormServices().alerts)
            alerts->controllerLost(m_comPort, linkError());
    }
    ShowRegistrationsFile();
}

bool CTermFormView::eventFilter(QObject* watched, QEvent* event) {
    // The wait until the next try shrinks while nobody looks: counted again when the tip shows.
    if (watched == m_statusEdit && event->type() == QEvent::ToolTip && !m_portUp)
        ShowLinkError();
    return QWidget::eventFilter(watched, event);
}

void CTermFormView::OnPortBack() {
    // Only the status and its reason change: the fields, the lists' selection and the
    // workspace's modified flag stay as they were.
    m_portUp = true;
    SetStatus(S(IDS_OK));
    if (IAlertInput* alerts = termFormServices().alerts)
        alerts->controllerBack(m_comPort);
    ShowRegistrationsFile();
}

void CTermFormView::OnRelayTimeChanged() {
    if (m_filling)
        return;
    UpdateData(true);
    // A time picked over an unknown one no longer says "unknown".
    UpdateData(false);
    CTarvexDoc* doc = OwnerDocument();
    CTermRecord* record = doc ? doc->FindController(m_comPort) : nullptr;
    if (!record)
        return;
    record->Relay1Time = m_relay1;
    record->Relay2Time = m_relay2;
    doc->SetModifiedFlag();
}

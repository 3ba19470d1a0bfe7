#include "collector.h"

#include "alertcommand.h"
#include "appsettings.h"
#include "ctlcommon.h"
#include "registrationsfile.h"
#include "reportqueue.h"
#include "unknownmedium.h"
#include "vr12comm.h"
#include "vr12commfactory.h"

#include <QCoreApplication>
#include <QWidget>

namespace {
// An error text of the database layer spans lines; the log keeps one line per problem.
QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text.trimmed();
}
} // namespace

CCollector::CCollector(std::FILE* out, std::FILE* err, CMonthWatcher::Clock clock, QObject* parent)
    : QObject(parent), m_out(out), m_err(err), m_month(this, clock), m_alerts(clock) {
    connect(&m_month, &CMonthWatcher::monthChanged, this, &CCollector::MoveToMonth);
    m_alerts.setControllerIds([this](int comPort) { return ControllerId(comPort); });
    connect(&m_alerts, &CAlertEngine::raised, this, &CCollector::TellAlert);
}

CCollector::~CCollector() {
    Close();
}

void CCollector::Report(const QString& text) {
    std::fprintf(m_err, "tarvexctl: %s\n", oneLine(text).toLocal8Bit().constData());
    std::fflush(m_err);
}

void CCollector::SetAlertRules(const CAppSettings& settings) {
    m_alerts.setRules(CAlertEngine::Rules::from(settings));
}

bool CCollector::SetAlertCommand(const QString& command) {
    auto runner =
        std::make_unique<CAlertCommand>(command, [this](const QString& line) { Report(line); });
    if (!runner->isValid())
        return false;
    m_alertCommand = std::move(runner);
    return true;
}

void CCollector::TellAlert(const Alert& alert) {
    Report(QStringLiteral("alert %1: %2").arg(alertKindName(alert.kind), alert.text));
    if (m_alertCommand)
        m_alertCommand->run(alert);
}

int CCollector::ControllerId(int comPort) const {
    for (const auto& controller : m_controllers)
        if (controller->comPort == comPort)
            return controller->id;
    return 0;
}

void CCollector::OpenReportingDatabase(const CAppSettings& settings, const QString& dataFolder) {
    m_switches.useReportingDatabase = false;
    m_queue.reset();
    if (!settings.UseMRDB)
        return;
    ReportQueueOptions options;
    options.folder = dataFolder;
    options.connection = settings.MRDB;
    options.maxEntries = settings.ReportQueueMax;
    auto queue = std::make_unique<ReportQueue>(options);
    // Said at once from the worker's thread: a run that ends right after still says it.
    connect(
        queue.get(), &ReportQueue::refused, this,
        [this](const ReportEntry& e, const QString&, const QString& error) {
            Report(QStringLiteral("registration %1 %2 of %3 from controller %4 not reported: %5")
                       .arg(e.dateReg, e.timeReg, e.mediaId)
                       .arg(e.controllerId)
                       .arg(error));
        },
        Qt::DirectConnection);
    connect(
        queue.get(), &ReportQueue::answeringChanged, this,
        [this, q = queue.get()](bool answering, const QString& problem) {
            if (answering) {
                if (std::exchange(m_toldNoAnswer, false)) {
                    Report(QStringLiteral("the reporting database answers again"));
                    QMetaObject::invokeMethod(this, [this] { m_alerts.reportingAnswers(); });
                }
                m_everAnswered = true;
                return;
            }
            m_toldNoAnswer = true;
            // The rules live on this object's thread; the count is the queue's now.
            const qint64 waiting = q->status().waiting;
            QMetaObject::invokeMethod(
                this, [this, waiting, problem] { m_alerts.reportingSilent(waiting, problem); });
            Report(QStringLiteral("the reporting database %1; registrations wait in the "
                                  "report queue: %2")
                       .arg(m_everAnswered ? QStringLiteral("does not answer")
                                           : QStringLiteral("does not open"),
                            problem));
        },
        Qt::DirectConnection);
    if (!queue->start()) {
        Report(QStringLiteral("registrations are not reported: %1").arg(queue->error()));
        return;
    }
    if (queue->skippedLines() > 0)
        Report(QStringLiteral("%1 damaged lines of the report queue were left out")
                   .arg(queue->skippedLines()));
    m_queue = std::move(queue);
    m_switches.useReportingDatabase = true;
    m_switches.reportForm = reportFormFromSetting(settings.MRDBCall);
}

int CCollector::Open(const CTarvexDoc& doc, CVr12CommFactory& factory, const QString& regFilePath) {
    m_regFilePath = regFilePath;
    if (!factory.Load()) {
        Report(factory.ErrorText());
        return -1;
    }
    if (!m_host)
        m_host = std::make_unique<QWidget>();
    m_employees = doc.Employees();
    const QString file = RegistrationsFile();
    int opened = 0;
    for (const auto& [comPort, record] : doc.Controllers()) {
        auto controller = std::make_unique<Controller>();
        controller->comPort = comPort;
        controller->id = record.ID;
        controller->code = record.Code;
        controller->comm = std::make_unique<CVr12Comm>();
        CVr12Comm& comm = *controller->comm;
        const QString why = factory.CreateControl(comm, m_host.get());
        if (!why.isEmpty()) {
            Report(QStringLiteral("COM%1: %2").arg(comPort).arg(why));
            continue;
        }
        Controller* c = controller.get();
        connect(&comm, &CVr12Comm::RxMessage, this, [this, c] { OnRegistration(*c); });
        // Queued: the control writes the line after the handlers return.
        connect(
            &comm, &CVr12Comm::RxMessage, this, [this, c] { ReportFileRecovered(*c); },
            Qt::QueuedConnection);
        comm.SetAsciiFileName(file);
        WatchLink(*c);
        const bool up = comm.Init(short(comPort - 1));
        c->reconnect = std::make_unique<CReconnectPlan>(
            [c] { return c->comm->Reopen(short(c->comPort - 1)); });
        connect(c->reconnect.get(), &CReconnectPlan::back, this,
                [this, c] { OnControllerBack(*c); });
        // Nobody watches a status line here: a month's file that does not open would lose
        // registrations silently.
        connect(&comm, &CVr12Comm::ErrMessage, this, [this, c] { OnControlError(*c); });
        QString reason;
        if (up) {
            ++opened;
        } else {
            reason = comm.Control() ? comm.Control()->lastLinkError() : QString();
            if (reason.isEmpty())
                reason = comm.ErrorText();
            Report(QStringLiteral("COM%1 (controller %2) does not open: %3")
                       .arg(comPort)
                       .arg(record.ID)
                       .arg(reason));
        }
        // A control whose port failed still holds its log file: Close() gives it back.
        m_controllers.push_back(std::move(controller));
        if (!up) {
            c->portLost = true;
            m_alerts.controllerLost(comPort, reason);
            c->reconnect->down();
        }
    }
    return opened;
}

void CCollector::WatchLink(const Controller& controller) {
    const int port = controller.comPort;
    m_linkCheck.add(port, *controller.comm,
                    {[this, port](const QString& text) {
                         Report(QStringLiteral("COM%1: %2").arg(port).arg(text));
                         m_alerts.controllerLost(port, text);
                     },
                     [this, port] {
                         Report(QStringLiteral("COM%1 answers again").arg(port));
                         m_alerts.controllerBack(port);
                     }});
}

void CCollector::Close() {
    // A check under way uses its control.
    m_linkCheck.clear();
    for (auto& controller : m_controllers) {
        controller->reconnect.reset();
        controller->comm->Destroy();
    }
    m_controllers.clear();
    m_host.reset();
    std::fflush(m_out);
    if (m_queue) {
        if (!m_queue->finish(kReportGraceMs))
            Report(QStringLiteral("%1 registrations wait in the report queue for the next start")
                       .arg(m_queue->status().waiting));
        m_queue.reset();
        // What the queue's thread told last still becomes an alert.
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    if (m_alertCommand)
        m_alertCommand->finish(kAlertGraceMs);
}

QString CCollector::RegistrationsFile() const {
    return registrationsFileFor(m_regFilePath, m_month.month());
}

void CCollector::MoveToMonth() {
    const QString file = RegistrationsFile();
    for (auto& controller : m_controllers) {
        controller->comm->SetAsciiFileName(file);
        ReportFileRecovered(*controller);
    }
}

void CCollector::OnControlError(Controller& controller) {
    const vr12comm::IVr12CommControl* control = controller.comm->Control();
    if (!control) {
        Report(
            QStringLiteral("COM%1: %2").arg(controller.comPort).arg(controller.comm->ErrorText()));
        return;
    }
    const int state = control->linkState();
    if (!controller.portLost && state != vr12comm::LinkBothOpen &&
        state != vr12comm::LinkPortOnly) {
        controller.portLost = true;
        Report(QStringLiteral("COM%1: %2").arg(controller.comPort).arg(control->lastLinkError()));
        m_alerts.controllerLost(controller.comPort, control->lastLinkError());
        controller.reconnect->down();
        return;
    }
    // A port that is down has nothing to write; its tries may not open the file either.
    if (controller.portLost)
        return;
    const QString file = control->logFileError();
    if (file.isEmpty())
        return;
    controller.fileFailing = true;
    Report(QStringLiteral("COM%1: registrations are not written: %2")
               .arg(controller.comPort)
               .arg(file));
    m_alerts.registrationsNotWritten(controller.comPort, file);
}

void CCollector::OnControllerBack(Controller& controller) {
    controller.portLost = false;
    Report(
        QStringLiteral("COM%1 (controller %2) is back").arg(controller.comPort).arg(controller.id));
    m_alerts.controllerBack(controller.comPort);
    ReportFileRecovered(controller);
}

void CCollector::ReportFileRecovered(Controller& controller) {
    const vr12comm::IVr12CommControl* control = controller.comm->Control();
    if (!controller.fileFailing || !control || !control->logFileError().isEmpty())
        return;
    controller.fileFailing = false;
    Report(QStringLiteral("COM%1: registrations are written to %2 again")
               .arg(controller.comPort)
               .arg(controller.comm->GetAsciiFileName()));
    m_alerts.registrationsWritten(controller.comPort);
}

void CCollector::OnRegistration(const Controller& controller) {
    // A registration decoded after midnight at a month's end belongs to the new month's file;
    // the control writes its line only after this handler returns.
    m_month.check();
    m_linkCheck.heard(controller.comPort);
    const Registration r = readRegistration(*controller.comm);
    const RegistrationPlan plan = planRegistration(r, controller.id, controller.code, m_switches);
    Print(plan.listRow);
    m_alerts.registrationArrived(controller.comPort,
                                 IsUnknownMedium(m_employees, r.mediaId.toLatin1().toStdString()));
    if (!plan.report || !m_queue)
        return;
    // A full queue is an alert, told once until it takes one again; any other refusal is the
    // disk's and said each time.
    if (m_queue->enqueue(*plan.report)) {
        m_alerts.reportQueueTakes();
        return;
    }
    const ReportQueueStatus queue = m_queue->status();
    if (queue.full)
        m_alerts.reportQueueFull(queue.waiting);
    else
        Report(QStringLiteral("registration %1 %2 of %3 from controller %4 not reported: the "
                              "report queue cannot be written")
                   .arg(r.dateReg, r.timeReg, r.mediaId)
                   .arg(controller.id));
}

void CCollector::Print(const QStringList& row) {
    if (m_limit > 0 && m_printed >= m_limit)
        return;
    QStringList fields;
    for (const QString& field : row)
        fields << escapeField(field);
    const QString line = fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    // The controller's texts are bytes, one per character: written back as they came.
    const QByteArray bytes = line.toLatin1();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out);
    std::fflush(m_out);
    if (++m_printed == m_limit)
        emit limitReached();
}

// vr12: runs one method of the communication control on one port, from the
// command line and without a display, loading the control as the program does.
#include <vr12comm/ivr12comm.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

using namespace vr12comm;

namespace {

std::atomic<bool> g_stop{false};

void onStopSignal(int) {
    g_stop = true;
}

// Other tools read stderr: only the tool's own message line belongs there.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "vr12: %s\n", qPrintable(msg));
}

const char kUsage[] =
    "usage: vr12 COMn GetStatus | ReadTable | ShowMaster | ReadParams | AddID <id16>\n"
    "                | NewMaster <id16> | EraseID <slot 0-255> | WriteParams <record16>\n"
    "                | ClearTable | OpenLock  [--log FILE]\n"
    "       vr12 COMn listen [--seconds S] [--count N] [--log FILE]\n";

int usageError(const QString& why) {
    if (!why.isEmpty())
        std::fprintf(stderr, "vr12: %s\n", qPrintable(why));
    std::fputs(kUsage, stderr);
    return 2;
}

void printLine(const QString& text) {
    // Controller texts are bytes: write them back as bytes.
    const QByteArray b = text.toLatin1();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

struct Options {
    int com = 0;
    QString method;
    QString argument;
    QString logFile = QStringLiteral("reg.txt");
    double seconds = 0;
    int count = 0;
};

bool needsArgument(const QString& m) {
    return m == "AddID" || m == "NewMaster" || m == "EraseID" || m == "WriteParams";
}

QString parse(const QStringList& args, Options& o) {
    if (args.size() < 2)
        return QStringLiteral("missing arguments");
    const QString port = args.at(0);
    bool ok = false;
    o.com = port.startsWith("COM", Qt::CaseInsensitive) ? port.mid(3).toInt(&ok) : 0;
    if (!ok || o.com < 1 || o.com > 255)
        return QStringLiteral("'%1' is not a port name COM1 ... COM255").arg(port);
    o.method = args.at(1);
    static const QStringList methods = {"GetStatus",  "ReadTable", "ShowMaster", "ReadParams",
                                        "AddID",      "NewMaster", "EraseID",    "WriteParams",
                                        "ClearTable", "OpenLock",  "listen"};
    if (!methods.contains(o.method))
        return QStringLiteral("unknown method '%1'").arg(o.method);
    int i = 2;
    if (needsArgument(o.method)) {
        if (args.size() < 3)
            return QStringLiteral("%1 needs an argument").arg(o.method);
        o.argument = args.at(i++);
        if (o.method == "EraseID") {
            const int slot = o.argument.toInt(&ok);
            if (!ok || slot < 0 || slot > 255)
                return QStringLiteral("slot '%1' is not a number 0-255").arg(o.argument);
        } else if (o.argument.size() != 16 || o.argument.toLatin1().size() != 16) {
            return QStringLiteral("%1 needs exactly 16 characters, got '%2'")
                .arg(o.method, o.argument);
        }
    }
    for (; i < args.size(); ++i) {
        const QString a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == "--log" && hasValue) {
            o.logFile = args.at(++i);
        } else if (a == "--seconds" && hasValue && o.method == "listen") {
            o.seconds = args.at(++i).toDouble(&ok);
            if (!ok || o.seconds <= 0)
                return QStringLiteral("--seconds needs a positive number");
        } else if (a == "--count" && hasValue && o.method == "listen") {
            o.count = args.at(++i).toInt(&ok);
            if (!ok || o.count <= 0)
                return QStringLiteral("--count needs a positive number");
        } else {
            return QStringLiteral("unexpected argument '%1'").arg(a);
        }
    }
    return {};
}

// Prints each registration's log line as the control raises RxMessage.
class Listener : public QObject {
    Q_OBJECT
public:
    Listener(IVr12CommControl* ctrl, const QString& port, int count)
        : m_ctrl(ctrl), m_port(port), m_count(count) {}

public slots:
    void onRxMessage() {
        printLine(m_ctrl->dateReg() + ' ' + m_ctrl->timeReg() + ',' + m_ctrl->lastReg() + ',' +
                  m_ctrl->action() + ',' + m_ctrl->iButtonID() + ',' + m_port);
        if (m_count > 0 && ++m_seen >= m_count)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

private:
    IVr12CommControl* m_ctrl;
    QString m_port;
    int m_count;
    int m_seen = 0;
};

int runListen(IVr12CommControl* ctrl, const Options& o) {
    Listener listener(ctrl, QStringLiteral("COM%1").arg(o.com), o.count);
    QObject::connect(ctrl->widget(), kRxMessageSignal, &listener, SLOT(onRxMessage()));
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    QTimer watch;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&watch, &QTimer::timeout, qApp, [&] {
        if (g_stop || (o.seconds > 0 && clock.elapsed() >= qint64(o.seconds * 1000)))
            qApp->quit();
    });
    watch.start(50);
    QApplication::exec();
    return 0;
}

int runMethod(IVr12CommControl* ctrl, const Options& o) {
    const QString& m = o.method;
    auto number = [](short r) {
        printLine(QString::number(r));
        return r == 0 ? 0 : 1;
    };
    if (m == "GetStatus") {
        const short r = ctrl->getStatus();
        printLine(QString::number(r));
        if (r != 0)
            return 1;
        printLine(ctrl->firmWare());
        return 0;
    }
    if (m == "ReadTable") {
        QString r = ctrl->readFirstID();
        while (r.size() == 22) {
            printLine(r);
            r = ctrl->readNextID();
        }
        printLine(r);
        return r == "*" ? 0 : 1;
    }
    if (m == "ShowMaster" || m == "ReadParams") {
        const QString r = m == "ShowMaster" ? ctrl->showMaster() : ctrl->readParams();
        printLine(r);
        // An erased master is an answer; a parameter record always has 16 characters.
        return r.size() == 16 || (m == "ShowMaster" && r == "Erased") ? 0 : 1;
    }
    if (m == "AddID")
        return number(ctrl->addID(o.argument));
    if (m == "NewMaster")
        return number(ctrl->newMaster(o.argument));
    if (m == "EraseID")
        return number(ctrl->eraseID(short(o.argument.toInt())));
    if (m == "WriteParams")
        return number(ctrl->writeParams(o.argument));
    if (m == "ClearTable")
        return number(ctrl->clearTable());
    ctrl->openLock();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The control is a widget; the tool needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VR12_DEBUG"))
        qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.contains("--help") || args.contains("-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Options o;
    const QString error = parse(args, o);
    if (!error.isEmpty())
        return usageError(error);

    QString loadError;
    IVr12CommFactory* factory = loadFactory(&loadError);
    if (!factory) {
        std::fprintf(stderr, "vr12: %s\n", qPrintable(loadError));
        return 2;
    }
    std::unique_ptr<QWidget> owner;
    IVr12CommControl* ctrl = factory->createControl(nullptr);
    owner.reset(ctrl->widget());
    ctrl->setAsciiFileName(o.logFile);
    if (!ctrl->init(short(o.com - 1))) {
        std::fprintf(stderr, "vr12: %s\n", qPrintable(ctrl->lastLinkError()));
        ctrl->destroy();
        return 2;
    }
    const int status = o.method == "listen" ? runListen(ctrl, o) : runMethod(ctrl, o);
    ctrl->destroy();
    return status;
}

#include "main.moc"

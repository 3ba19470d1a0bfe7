// vr12: runs one method of the communication control on one port, from the
// command line and without a display, loading the control as the program does.
#include "tooloptions.h"

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
    "                | ClearTable | OpenLock  [--raw] [--log FILE]\n"
    "       vr12 COMn listen [--seconds S] [--count N] [--log FILE]\n"
    "       vr12 --help | --version\n"
    "<id16> and <record16> are 16 hexadecimal characters; --raw sends any 16 characters\n"
    "unchanged. Only listen keeps a log (default reg.txt) unless --log names one.\n";

int usageError(const QString& why) {
    if (!why.isEmpty())
        std::fprintf(stderr, "vr12: %s\n", qPrintable(why));
    std::fputs(kUsage, stderr);
    return 2;
}

// The meaning of a failure, in words, beside the result on stdout.
void explainFailure(const char* words) {
    std::fprintf(stderr, "vr12: %s\n", words);
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
    QString logFile; // empty: no log for a one-shot method, reg.txt for listen
    double seconds = 0;
    int count = 0;
    bool raw = false;
};

bool needsArgument(const QString& m) {
    return m == "AddID" || m == "NewMaster" || m == "EraseID" || m == "WriteParams";
}

bool takesPayload(const QString& m) {
    return m == "AddID" || m == "NewMaster" || m == "WriteParams";
}

bool isHex(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

// Media IDs are upper-case hex everywhere else; a lower-case one in the table
// would match no registration.
QString checkPayload(Options& o) {
    if (o.raw) {
        // One byte per character, as the control sends it.
        if (o.argument.size() != 16 || QString::fromLatin1(o.argument.toLatin1()) != o.argument)
            return QStringLiteral("%1 --raw needs exactly 16 one-byte characters, got '%2'")
                .arg(o.method, o.argument);
        return {};
    }
    if (o.argument.size() != 16 || !isHex(o.argument))
        return QStringLiteral("%1 needs 16 hexadecimal characters, got '%2' (--raw sends any 16 "
                              "characters unchanged)")
            .arg(o.method, o.argument);
    o.argument = o.argument.toUpper();
    return {};
}

// The first option the tool does not know, skipping the values of those it does.
QString unknownOption(const QStringList& args) {
    static const QStringList withValue = {"--log", "--seconds", "--count"};
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (withValue.contains(args.at(i)))
            ++i;
        else if (args.at(i) != "--raw" &&
                 tooloptions::looksLikeOption(args.at(i).toLocal8Bit().constData()))
            return args.at(i);
    }
    return {};
}

QString parse(const QStringList& args, Options& o) {
    // An option is named as such, wherever it stands (even where the port goes).
    if (const QString option = unknownOption(args); !option.isEmpty())
        return QStringLiteral("unknown option '%1'").arg(option);
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
    bool haveArgument = false;
    for (qsizetype i = 2; i < args.size(); ++i) {
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
        } else if (a == "--raw" && takesPayload(o.method)) {
            o.raw = true;
        } else if (a == "--log" || a == "--seconds" || a == "--count" || a == "--raw") {
            return hasValue || a == "--raw"
                       ? QStringLiteral("%1 does not apply to %2").arg(a, o.method)
                       : QStringLiteral("%1 needs a value").arg(a);
        } else if (needsArgument(o.method) && !haveArgument) {
            o.argument = a;
            haveArgument = true;
        } else {
            return QStringLiteral("unexpected argument '%1'").arg(a);
        }
    }
    if (needsArgument(o.method) && !haveArgument)
        return QStringLiteral("%1 needs an argument").arg(o.method);
    if (o.method == "EraseID") {
        const int slot = o.argument.toInt(&ok);
        if (!ok || slot < 0 || slot > 255)
            return QStringLiteral("slot '%1' is not a number 0-255").arg(o.argument);
    }
    return takesPayload(o.method) ? checkPayload(o) : QString();
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

// A numeric result on stdout; after a failure its meaning on stderr.
template <typename Result> int reportCode(Result r) {
    printLine(QString::number(int(r)));
    if (int(r) == 0)
        return 0;
    explainFailure(resultText(r));
    return 1;
}

// A listing record starts with CR LF on the wire; a line of output does not.
QString withoutLeadingLineEnd(const QString& record) {
    qsizetype k = 0;
    while (k < record.size() && (record.at(k) == '\r' || record.at(k) == '\n'))
        ++k;
    return record.mid(k);
}

int runMethod(IVr12CommControl* ctrl, const Options& o) {
    const QString& m = o.method;
    if (m == "GetStatus") {
        const GetStatusResult r = ctrl->getStatus();
        const int status = reportCode(r);
        if (r == GetStatusOk)
            printLine(ctrl->firmWare());
        return status;
    }
    if (m == "ReadTable") {
        QString r = ctrl->readFirstID();
        while (r.size() == 22) {
            printLine(withoutLeadingLineEnd(r));
            r = ctrl->readNextID();
        }
        printLine(r);
        if (r == QLatin1String(kReplyEndOfTable))
            return 0;
        explainFailure(listingReplyText(r));
        return 1;
    }
    if (m == "ShowMaster" || m == "ReadParams") {
        const bool master = m == "ShowMaster";
        const QString r = master ? ctrl->showMaster() : ctrl->readParams();
        printLine(r);
        // An erased master is an answer; a parameter record always has 16 characters.
        if (r.size() == 16 || (master && r == QLatin1String(kReplyErased)))
            return 0;
        explainFailure(master ? masterReplyText(r) : paramsReplyText(r));
        return 1;
    }
    if (m == "AddID")
        return reportCode(ctrl->addID(o.argument));
    if (m == "NewMaster")
        return reportCode(ctrl->newMaster(o.argument));
    if (m == "EraseID")
        return reportCode(ctrl->eraseID(short(o.argument.toInt())));
    if (m == "WriteParams")
        return reportCode(ctrl->writeParams(o.argument));
    if (m == "ClearTable")
        return reportCode(ctrl->clearTable());
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
    if (int status = 0; tooloptions::answered("vr12", kUsage, argc, argv, &status))
        return status;
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
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
    // A one-shot method needs no log, and the current folder may not be ours.
    const QString logFile = !o.logFile.isEmpty()   ? o.logFile
                            : o.method == "listen" ? QStringLiteral("reg.txt")
                                                   : QStringLiteral("/dev/null");
    ctrl->setAsciiFileName(logFile);
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

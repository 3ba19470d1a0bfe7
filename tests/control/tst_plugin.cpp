// The control as the program sees it: loaded as a module, driven by dispatch
// identifier, painting its link state.
#include "testworld.h"
#include "vr12commctrl.h"
#include "vr12simulator.h"

#include <vr12comm/ivr12comm.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace vr12comm;

// The control's dispatch accessors must leave QObject's dynamic properties
// reachable through the control's own class.
static_assert(requires(CVr12CommCtrl * c, const char* name, const QVariant& v) {
    c->setProperty(name, v);
    c->property(name);
});

namespace {

int redPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 180 && c.green() < 80 && c.blue() < 80;
        }
    return n;
}

} // namespace

class TestPlugin : public QObject {
    Q_OBJECT
public slots:
    void onRx() {
        ++m_rx;
        m_seen = m_ctrl->iButtonID() + '/' + m_ctrl->action();
    }

private:
    IVr12CommFactory* m_factory = nullptr;
    IVr12CommControl* m_ctrl = nullptr;
    int m_rx = 0;
    QString m_seen;

    std::unique_ptr<QWidget> makeControl() {
        auto host = std::make_unique<QWidget>();
        m_ctrl = m_factory->createControl(host.get());
        return host;
    }

private slots:
    void initTestCase() {
        QString error;
        m_factory = loadFactory(&error);
        QVERIFY2(m_factory, qPrintable(error));
        QDir::setCurrent(TestWorld::instance()->root());
    }

    void moduleMetadataAndOverride() {
        QPluginLoader loader(pluginPath());
        const QJsonObject meta = loader.metaData().value("MetaData").toObject();
        QCOMPARE(meta.value("ProgID").toString(), QStringLiteral("VR12COMM.Vr12CommCtrl.1"));
        QCOMPARE(meta.value("TypeName").toString(), QStringLiteral("Vr12Comm Control"));
        QVERIFY(pluginPath().endsWith("/plugins/libvr12comm.so"));
        qputenv("VR12COMM_PLUGIN", TestWorld::instance()->path("nowhere.so").toLocal8Bit());
        QString error;
        QVERIFY(!loadFactory(&error));
        QVERIFY(error.contains("nowhere.so"));
        qunsetenv("VR12COMM_PLUGIN");
        auto host = std::make_unique<QWidget>();
        QWidget* page = m_factory->createPropertyPage(host.get());
        QCOMPARE(page->windowTitle(), QStringLiteral("General"));
    }

    void propertiesByDispatch() {
        auto host = makeControl();
        QWidget* w = m_ctrl->widget();
        QVERIFY(w->metaObject()->indexOfSignal("RxMessage()") >= 0);
        QVERIFY(w->metaObject()->indexOfSignal("ErrMessage()") >= 0);
        QCOMPARE(m_ctrl->asciiFileName(), QStringLiteral("reg.txt"));
        QCOMPARE(m_ctrl->firmWare(), QString());
        QCOMPARE(m_ctrl->errorCode(), 0);
        QCOMPARE(m_ctrl->linkState(), 0);
        QVERIFY(!m_ctrl->isModified());
        m_ctrl->setErrorMessage("kept as written");
        m_ctrl->setErrorCode(-7);
        m_ctrl->setLastReg("R123");
        m_ctrl->setAction("O");
        m_ctrl->setFirmWare("fw");
        QCOMPARE(m_ctrl->errorMessage(), QStringLiteral("kept as written"));
        QCOMPARE(m_ctrl->errorCode(), -7);
        QCOMPARE(m_ctrl->lastReg(), QStringLiteral("R123"));
        QCOMPARE(m_ctrl->action(), QStringLiteral("O"));
        QCOMPARE(m_ctrl->firmWare(), QStringLiteral("fw"));
        QVERIFY(m_ctrl->isModified());
        // Qt's own properties stay apart from the dispatched ones.
        w->setProperty("AsciiFileName", QStringLiteral("dynamic.txt"));
        QCOMPARE(w->property("AsciiFileName").toString(), QStringLiteral("dynamic.txt"));
        QCOMPARE(m_ctrl->asciiFileName(), QStringLiteral("reg.txt"));

        QVariant r;
        QCOMPARE(m_ctrl->invoke(99, InvokeKind::Method, {}, &r), InvokeStatus::UnknownMember);
        QCOMPARE(m_ctrl->invoke(DispGetStatus, InvokeKind::PropertyPut, {1}, &r),
                 InvokeStatus::UnknownMember);
        QCOMPARE(m_ctrl->invoke(DispEraseID, InvokeKind::Method, {}, &r),
                 InvokeStatus::BadParamCount);
        QCOMPARE(m_ctrl->invoke(DispInit, InvokeKind::Method, {70000}, &r), InvokeStatus::Overflow);
        QCOMPARE(m_ctrl->invoke(DispAddID, InvokeKind::Method, {12}, &r),
                 InvokeStatus::TypeMismatch);
        QCOMPARE(m_ctrl->invoke(DispErrorCode, InvokeKind::PropertyPut, {"x"}, &r),
                 InvokeStatus::TypeMismatch);
        // Without Init there is no lock: commands fail at once.
        QCOMPARE(m_ctrl->getStatus(), GetStatusNoReply);
        QCOMPARE(m_ctrl->readFirstID(), QLatin1String(kReplyBusy));
        QVERIFY(!m_ctrl->destroy());
    }

    void aboutBoxOpensWithoutBlocking() {
        auto host = makeControl();
        QVariant r;
        QCOMPARE(m_ctrl->invoke(DispAboutBox, InvokeKind::Method, {}, &r), InvokeStatus::Ok);
        QMessageBox* box = m_ctrl->widget()->findChild<QMessageBox*>();
        QVERIFY(box);
        QVERIFY(box->text().contains("Vr12Comm Control"));
        box->close();
    }

    void persistence() {
        auto host = makeControl();
        m_ctrl->setLastReg("+OK");
        const QString log = TestWorld::instance()->path("persist.txt");
        m_ctrl->setAsciiFileName(log);
        const QVariantMap saved = m_ctrl->saveProperties();
        QCOMPARE(saved.value("Version").toString(), QStringLiteral("1.0"));
        QCOMPARE(saved.value("AsciiFileName").toString(), log);
        QCOMPARE(saved.value("LastReg").toString(), QStringLiteral("+OK"));
        m_ctrl->resetProperties();
        QCOMPARE(m_ctrl->asciiFileName(), QStringLiteral("reg.txt"));
        QCOMPARE(m_ctrl->lastReg(), QString());
        m_ctrl->loadProperties(saved);
        QCOMPARE(m_ctrl->asciiFileName(), log);
        QCOMPARE(m_ctrl->lastReg(), QStringLiteral("+OK"));
        QVERIFY(!m_ctrl->isModified());
    }

    void runsAControllerAndPaintsItsState() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        auto host = makeControl();
        QWidget* w = m_ctrl->widget();
        w->resize(48, 48);
        const QImage nothing = w->grab().toImage();
        QVERIFY(QObject::connect(w, kRxMessageSignal, this, SLOT(onRx())));
        QFile::remove(TestWorld::instance()->path("reg.txt"));
        QVERIFY(m_ctrl->init(0));
        QCOMPARE(m_ctrl->linkState(), 3);
        QVERIFY(QFile::exists(TestWorld::instance()->path("reg.txt")));
        const QImage running = w->grab().toImage();
        QCOMPARE(redPixels(running), 0);
        QVERIFY(redPixels(nothing) > 0);

        QCOMPARE(m_ctrl->getStatus(), GetStatusOk);
        QCOMPARE(m_ctrl->firmWare(), QStringLiteral("VR-12 v2.14 ready "));
        sim.fillTable(2);
        QCOMPARE(m_ctrl->readFirstID().size(), 22);
        QCOMPARE(m_ctrl->readNextID().mid(6), QString::fromLatin1(Vr12Simulator::mediaIdFor(1)));
        QCOMPARE(m_ctrl->readNextID(), QLatin1String(kReplyEndOfTable));

        const QByteArray id = Vr12Simulator::mediaIdFor(9);
        sim.sendMessage(Vr12Simulator::registrationFor(id));
        QTRY_COMPARE_WITH_TIMEOUT(m_rx, 1, 3000);
        QCOMPARE(m_seen, QString::fromLatin1(id) + "/O");

        QVERIFY(m_ctrl->destroy());
        QCOMPARE(m_ctrl->linkState(), 1);
        const QImage stopped = w->grab().toImage();
        QVERIFY(redPixels(stopped) > 0);
        QVERIFY(stopped != running && stopped != nothing);
    }

    // A text argument given as bytes reaches the wire as those bytes, not read as UTF-8 first;
    // one given as a string goes one byte per character.
    void byteArgumentsReachTheWireAsTheyAre() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 3));
        auto host = makeControl();
        m_ctrl->setAsciiFileName(TestWorld::instance()->path("bytes.txt"));
        QVERIFY(m_ctrl->init(2));
        const QByteArray id("\xE9\x81"
                            "00000000000001",
                            16);
        QVariant result;
        QCOMPARE(m_ctrl->invoke(DispAddID, InvokeKind::Method, {id}, &result), InvokeStatus::Ok);
        QCOMPARE(result.toInt(), int(IdWriteOk));
        QCOMPARE(sim.slot(0), id);
        const QByteArray master("\xFF"
                                "000000000000001",
                                16);
        QCOMPARE(m_ctrl->newMaster(QString::fromLatin1(master)), IdWriteOk);
        QCOMPARE(sim.master(), master);
        QCOMPARE(m_ctrl->showMaster(), QString::fromLatin1(master));
        QVERIFY(m_ctrl->destroy());
    }

    // Registrations that are not written are said through the interface: the event, the
    // reason, and the picture's crossed folder; a file that opens again clears them.
    void lostRegistrationsAreSaid() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 4));
        auto host = makeControl();
        QSignalSpy err(m_ctrl->widget(), SIGNAL(ErrMessage()));
        QSignalSpy rx(m_ctrl->widget(), SIGNAL(RxMessage()));
        m_ctrl->setAsciiFileName(TestWorld::instance()->path("said.txt"));
        QVERIFY(m_ctrl->init(3));
        QCOMPARE(m_ctrl->logFileError(), QString());
        m_ctrl->setAsciiFileName(QStringLiteral("/dev/full"));
        sim.sendMessage("+S1");
        QVERIFY(rx.wait(3000));
        QTRY_COMPARE(err.size(), 1);
        QVERIFY2(m_ctrl->logFileError().contains("/dev/full"), qPrintable(m_ctrl->logFileError()));
        QCOMPARE(m_ctrl->linkState(), int(LinkPortOnly));
        QCOMPARE(m_ctrl->lastLinkError(), QString());
        m_ctrl->setAsciiFileName(TestWorld::instance()->path("said.txt"));
        QCOMPARE(m_ctrl->logFileError(), QString());
        QCOMPARE(m_ctrl->linkState(), int(LinkBothOpen));
        QVERIFY(m_ctrl->destroy());
    }

    void logFailuresRaiseErrMessage() {
        auto host = makeControl();
        QSignalSpy err(m_ctrl->widget(), SIGNAL(ErrMessage()));
        m_ctrl->setAsciiFileName(TestWorld::instance()->path("missing/reg.txt"));
        QCOMPARE(err.count(), 1);
        QVERIFY(!m_ctrl->init(0));
        QCOMPARE(err.count(), 2);
        QCOMPARE(m_ctrl->linkState(), 0);
        QVERIFY(m_ctrl->lastLinkError().contains("missing/reg.txt"));
        m_ctrl->setAsciiFileName(TestWorld::instance()->path("ok.txt"));
        QVERIFY(!m_ctrl->init(199)); // COM200: nothing there
        QCOMPARE(m_ctrl->linkState(), 1);
        QVERIFY(m_ctrl->lastLinkError().contains("COM200"));
    }

    void releasedWithoutDestroy() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 2));
        auto host = makeControl();
        m_ctrl->setAsciiFileName(TestWorld::instance()->path("released.txt"));
        QVERIFY(m_ctrl->init(1));
        host.reset();
        // The port was given back.
        auto again = makeControl();
        m_ctrl->setAsciiFileName(TestWorld::instance()->path("released.txt"));
        QVERIFY(m_ctrl->init(1));
        QVERIFY(m_ctrl->destroy());
    }
};

TARVEX_TEST_MAIN(TestPlugin)
#include "tst_plugin.moc"

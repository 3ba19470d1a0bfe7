// A wrapper without a usable control: the module missing or not the control's, a call the
// control refuses, a control whose window is gone. Every operation answers with its failure
// value and the user is told once.
#include "fakecontrol.h"
#include "testworld.h"
#include "vr12comm.h"
#include "vr12commfactory.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace vr12comm;

namespace {

// Every operation once, checking the failure values.
void expectFailureValues(CVr12Comm& c) {
    QCOMPARE(c.GetAsciiFileName(), QString());
    c.SetAsciiFileName(QStringLiteral("x.txt"));
    QCOMPARE(c.GetLastReg(), QString());
    c.SetLastReg(QStringLiteral("x"));
    QCOMPARE(c.GetAction(), QString());
    c.SetAction(QStringLiteral("x"));
    QCOMPARE(c.GetIButtonID(), QString());
    c.SetIButtonID(QStringLiteral("x"));
    QCOMPARE(c.GetDateReg(), QString());
    c.SetDateReg(QStringLiteral("x"));
    QCOMPARE(c.GetTimeReg(), QString());
    c.SetTimeReg(QStringLiteral("x"));
    QCOMPARE(c.GetFirmWare(), QString());
    c.SetFirmWare(QStringLiteral("x"));
    QCOMPARE(c.GetErrorMessage(), QString());
    c.SetErrorMessage(QStringLiteral("x"));
    QCOMPARE(c.GetErrorCode(), 0);
    c.SetErrorCode(5);
    QVERIFY(!c.Init(0));
    QCOMPARE(c.ReadFirstID(), QLatin1String(kReplyError));
    QCOMPARE(c.ReadNextID(), QLatin1String(kReplyError));
    QCOMPARE(c.EraseID(1), EraseIdNoReply);
    QCOMPARE(c.AddID(QStringLiteral("0123456789ABCDEF")), IdWriteNoReply);
    c.OpenLock();
    QVERIFY(!c.Destroy());
    QCOMPARE(c.ShowMaster(), QLatin1String(kReplyError));
    QCOMPARE(c.NewMaster(QStringLiteral("0123456789ABCDEF")), IdWriteNoReply);
    QCOMPARE(c.ClearTable(), ClearTableNoReply);
    QCOMPARE(c.GetStatus(), GetStatusNoReply);
    QCOMPARE(c.WriteParams(QStringLiteral("0203000000000000")), WriteParamsNoReply);
    QCOMPARE(c.ReadParams(), QLatin1String(kReplyError));
    c.AboutBox();
}

QString makeFolder(const QString& name) {
    const QString folder = TestWorld::instance()->path(name);
    QDir().mkpath(folder);
    return folder;
}

} // namespace

class TestUnlinked : public QObject {
    Q_OBJECT

    // A factory on `folder` must refuse with a message naming it and the module's file name,
    // and leave a wrapper that fails quietly.
    void expectRefused(const QString& folder, const char* reason) {
        CVr12CommFactory factory(folder);
        CVr12Comm comm;
        QSignalSpy failed(&comm, &CVr12Comm::CallFailed);
        QWidget host;
        const QString message = factory.CreateControl(comm, &host);
        QVERIFY2(message.contains(folder), qPrintable(message));
        QVERIFY2(message.contains("libvr12comm.so"), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String(reason)), qPrintable(message));
        QVERIFY(!comm.IsLinked());
        QVERIFY(!comm.Widget());
        QVERIFY(!comm.Control());
        QVERIFY(host.children().isEmpty());
        QCOMPARE(comm.ErrorText(), message);
        QCOMPARE(factory.ErrorText(), message);
        expectFailureValues(comm);
        // Told once, by the caller: the failing operations add nothing.
        QCOMPARE(failed.count(), 0);
        QCOMPARE(comm.ErrorText(), message);
        // Not tried again, the same message.
        CVr12Comm second;
        QCOMPARE(factory.CreateControl(second, &host), message);
    }

private slots:
    void programFolder() {
        QCOMPARE(CVr12CommFactory::DefaultFolder(),
                 QCoreApplication::applicationDirPath() + "/plugins");
        const QString folder = TestWorld::instance()->path("elsewhere");
        CVr12CommFactory::SetProgramFolder(folder);
        QCOMPARE(CVr12CommFactory::Program().Folder(), folder);
        QVERIFY(!CVr12CommFactory::Program().Load());
        QVERIFY(CVr12CommFactory::Program().ErrorText().contains(folder));
    }

    void missingFolder() {
        expectRefused(TestWorld::instance()->path("no-such-folder"), "does not exist");
    }

    void folderWithoutModule() {
        expectRefused(makeFolder("empty-plugins"), "not in the plugins folder");
    }

    void fileThatIsNoPlugin() {
        const QString folder = makeFolder("text-plugins");
        QFile f(folder + "/libvr12comm.so");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is no shared library\n");
        f.close();
        expectRefused(folder, "not the Vr12Comm Control module");
    }

    void anotherQtPlugin() {
        const QString other =
            QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqoffscreen.so";
        if (!QFile::exists(other))
            QSKIP("no Qt platform plugin to stand in for a foreign module");
        const QString folder = makeFolder("foreign-plugins");
        QVERIFY(QFile::copy(other, folder + "/libvr12comm.so"));
        expectRefused(folder, "not the Vr12Comm Control module");
    }

    void moduleMakesNoControl() {
        CVr12CommFactory factory(QStringLiteral(NOCONTROL_PLUGIN_DIR));
        QVERIFY2(factory.Load(), qPrintable(factory.ErrorText()));
        CVr12Comm comm;
        QSignalSpy failed(&comm, &CVr12Comm::CallFailed);
        QWidget host;
        const QString message = factory.CreateControl(comm, &host);
        QVERIFY2(message.contains(QStringLiteral(NOCONTROL_PLUGIN_DIR)), qPrintable(message));
        QVERIFY(message.contains("libvr12comm.so"));
        QVERIFY(message.contains("made no control"));
        QVERIFY(!comm.IsLinked());
        QCOMPARE(comm.ErrorText(), message);
        expectFailureValues(comm);
        QCOMPARE(failed.count(), 0);
        // The module itself stays loaded.
        QVERIFY(factory.Load());
    }

    void theModuleLoadsOnce() {
        CVr12CommFactory factory(CVr12CommFactory::DefaultFolder());
        QWidget host;
        CVr12Comm a, b;
        QCOMPARE(factory.CreateControl(a, &host), QString());
        QCOMPARE(factory.CreateControl(b, &host), QString());
        QVERIFY(a.IsLinked() && b.IsLinked());
        QVERIFY(a.Widget() != b.Widget());
        QCOMPARE(a.Widget()->parent(), &host);
        // Both from the one loaded module.
        QCOMPARE(a.Widget()->metaObject(), b.Widget()->metaObject());
        QCOMPARE(a.GetAsciiFileName(), QStringLiteral("reg.txt"));
        QVERIFY(factory.ErrorText().isEmpty());
    }

    void controlWindowGone() {
        CVr12CommFactory factory(CVr12CommFactory::DefaultFolder());
        auto host = std::make_unique<QWidget>();
        CVr12Comm comm;
        QCOMPARE(factory.CreateControl(comm, host.get()), QString());
        QSignalSpy failed(&comm, &CVr12Comm::CallFailed);
        host.reset();
        QVERIFY(!comm.IsLinked());
        QVERIFY(!comm.Widget());
        expectFailureValues(comm);
        QCOMPARE(failed.count(), 1);
        QVERIFY(comm.ErrorText().contains("no longer exists"));
    }

    void refusedCallReportedOnce() {
        FakeControl control;
        control.statuses[DispGetStatus] = InvokeStatus::UnknownMember;
        control.statuses[DispAddID] = InvokeStatus::TypeMismatch;
        CVr12Comm comm;
        comm.Attach(&control);
        QSignalSpy failed(&comm, &CVr12Comm::CallFailed);
        QCOMPARE(comm.GetStatus(), GetStatusNoReply);
        QCOMPARE(failed.count(), 1);
        const QString text = failed.at(0).at(0).toString();
        QVERIFY2(text.contains("GetStatus") && text.contains("no such member"), qPrintable(text));
        QCOMPARE(comm.ErrorText(), text);
        QCOMPARE(comm.AddID(QStringLiteral("0123456789ABCDEF")), IdWriteNoReply);
        QCOMPARE(comm.GetStatus(), GetStatusNoReply);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(comm.ErrorText(), text);
        // Still linked: calls the control accepts go through.
        control.results[DispClearTable] = int(ClearTableOk);
        QCOMPARE(comm.ClearTable(), ClearTableOk);
    }

    void missingResultIsNoSuccess_data() {
        QTest::addColumn<QVariant>("result");
        QTest::newRow("none") << QVariant();
        QTest::newRow("text") << QVariant(QStringLiteral("0"));
        QTest::newRow("too large") << QVariant(70000);
    }
    void missingResultIsNoSuccess() {
        QFETCH(QVariant, result);
        FakeControl control;
        control.results[DispGetStatus] = result;
        control.results[DispClearTable] = result;
        control.results[DispInit] = result;
        CVr12Comm comm;
        comm.Attach(&control);
        QSignalSpy failed(&comm, &CVr12Comm::CallFailed);
        QCOMPARE(comm.GetStatus(), GetStatusNoReply);
        QCOMPARE(comm.ClearTable(), ClearTableNoReply);
        QVERIFY(!comm.Init(0));
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.at(0).at(0).toString().contains("GetStatus"));
    }

    void exceptionStaysInside() {
        FakeControl control;
        control.throwOn = DispInit;
        CVr12Comm comm;
        comm.Attach(&control);
        QSignalSpy failed(&comm, &CVr12Comm::CallFailed);
        QVERIFY(!comm.Init(0));
        QCOMPARE(failed.count(), 1);
        QVERIFY(comm.ErrorText().contains("Init") && comm.ErrorText().contains("out of order"));
    }

    void eventsPassOn() {
        FakeControl control;
        CVr12Comm comm;
        comm.Attach(&control);
        QSignalSpy rx(&comm, &CVr12Comm::RxMessage);
        QSignalSpy err(&comm, &CVr12Comm::ErrMessage);
        emit control.RxMessage();
        emit control.RxMessage();
        emit control.ErrMessage();
        QCOMPARE(rx.count(), 2);
        QCOMPARE(err.count(), 1);
        // A wrapper moved to another control hears only that one.
        FakeControl next;
        comm.Attach(&next);
        emit control.RxMessage();
        emit next.RxMessage();
        QCOMPARE(rx.count(), 3);
    }

    // Each operation is the member of the same name with the interface's argument types.
    void dispatchShape() {
        FakeControl control;
        control.results[DispInit] = true;
        control.results[DispDestroy] = true;
        control.results[DispErrorCode] = 7;
        for (int id : {DispEraseID, DispAddID, DispNewMaster, DispClearTable, DispGetStatus,
                       DispWriteParams})
            control.results[id] = 0;
        for (int id : {DispAsciiFileName, DispLastReg, DispAction, DispIButtonID, DispDateReg,
                       DispTimeReg, DispFirmWare, DispErrorMessage, DispReadFirstID, DispReadNextID,
                       DispShowMaster, DispReadParams})
            control.results[id] = QStringLiteral("text %1").arg(id);
        CVr12Comm comm;
        comm.Attach(&control);
        QSignalSpy failed(&comm, &CVr12Comm::CallFailed);

        using K = InvokeKind;
        struct Step {
            std::function<QVariant()> op;
            int dispId;
            K kind;
            int argType; // 0: no argument
            QVariant expected;
        };
        const QString id16 = QStringLiteral("0123456789ABCDEF");
        auto text = [](int id) { return QVariant(QStringLiteral("text %1").arg(id)); };
        const QList<Step> steps = {
            {[&] { return QVariant(comm.GetAsciiFileName()); }, DispAsciiFileName, K::PropertyGet,
             0, text(1)},
            {[&] {
                 comm.SetAsciiFileName("f");
                 return QVariant();
             },
             DispAsciiFileName,
             K::PropertyPut,
             QMetaType::QString,
             {}},
            {[&] { return QVariant(comm.GetLastReg()); }, DispLastReg, K::PropertyGet, 0, text(2)},
            {[&] {
                 comm.SetLastReg("r");
                 return QVariant();
             },
             DispLastReg,
             K::PropertyPut,
             QMetaType::QString,
             {}},
            {[&] { return QVariant(comm.GetAction()); }, DispAction, K::PropertyGet, 0, text(3)},
            {[&] {
                 comm.SetAction("a");
                 return QVariant();
             },
             DispAction,
             K::PropertyPut,
             QMetaType::QString,
             {}},
            {[&] { return QVariant(comm.GetIButtonID()); }, DispIButtonID, K::PropertyGet, 0,
             text(4)},
            {[&] {
                 comm.SetIButtonID("i");
                 return QVariant();
             },
             DispIButtonID,
             K::PropertyPut,
             QMetaType::QString,
             {}},
            {[&] { return QVariant(comm.GetDateReg()); }, DispDateReg, K::PropertyGet, 0, text(5)},
            {[&] {
                 comm.SetDateReg("d");
                 return QVariant();
             },
             DispDateReg,
             K::PropertyPut,
             QMetaType::QString,
             {}},
            {[&] { return QVariant(comm.GetTimeReg()); }, DispTimeReg, K::PropertyGet, 0, text(6)},
            {[&] {
                 comm.SetTimeReg("t");
                 return QVariant();
             },
             DispTimeReg,
             K::PropertyPut,
             QMetaType::QString,
             {}},
            {[&] { return QVariant(comm.GetFirmWare()); }, DispFirmWare, K::PropertyGet, 0,
             text(7)},
            {[&] {
                 comm.SetFirmWare("w");
                 return QVariant();
             },
             DispFirmWare,
             K::PropertyPut,
             QMetaType::QString,
             {}},
            {[&] { return QVariant(comm.GetErrorMessage()); }, DispErrorMessage, K::PropertyGet, 0,
             text(8)},
            {[&] {
                 comm.SetErrorMessage("e");
                 return QVariant();
             },
             DispErrorMessage,
             K::PropertyPut,
             QMetaType::QString,
             {}},
            {[&] { return QVariant(comm.GetErrorCode()); }, DispErrorCode, K::PropertyGet, 0, 7},
            {[&] {
                 comm.SetErrorCode(-1);
                 return QVariant();
             },
             DispErrorCode,
             K::PropertyPut,
             QMetaType::Int,
             {}},
            {[&] { return QVariant(comm.Init(3)); }, DispInit, K::Method, QMetaType::Short, true},
            {[&] { return QVariant(comm.ReadFirstID()); }, DispReadFirstID, K::Method, 0, text(11)},
            {[&] { return QVariant(comm.ReadNextID()); }, DispReadNextID, K::Method, 0, text(12)},
            {[&] { return QVariant(int(comm.EraseID(9))); }, DispEraseID, K::Method,
             QMetaType::Short, 0},
            {[&] { return QVariant(int(comm.AddID(id16))); }, DispAddID, K::Method,
             QMetaType::QString, 0},
            {[&] {
                 comm.OpenLock();
                 return QVariant();
             },
             DispOpenLock,
             K::Method,
             0,
             {}},
            {[&] { return QVariant(comm.Destroy()); }, DispDestroy, K::Method, 0, true},
            {[&] { return QVariant(comm.ShowMaster()); }, DispShowMaster, K::Method, 0, text(17)},
            {[&] { return QVariant(int(comm.NewMaster(id16))); }, DispNewMaster, K::Method,
             QMetaType::QString, 0},
            {[&] { return QVariant(int(comm.ClearTable())); }, DispClearTable, K::Method, 0, 0},
            {[&] { return QVariant(int(comm.GetStatus())); }, DispGetStatus, K::Method, 0, 0},
            {[&] { return QVariant(int(comm.WriteParams(id16))); }, DispWriteParams, K::Method,
             QMetaType::QString, 0},
            {[&] { return QVariant(comm.ReadParams()); }, DispReadParams, K::Method, 0, text(22)},
            {[&] {
                 comm.AboutBox();
                 return QVariant();
             },
             DispAboutBox,
             K::Method,
             0,
             {}},
        };
        for (const Step& s : steps) {
            control.calls.clear();
            const QVariant got = s.op();
            QCOMPARE(control.calls.size(), 1);
            const FakeControl::Invoked& call = control.calls.at(0);
            QCOMPARE(call.dispId, s.dispId);
            QVERIFY(call.kind == s.kind);
            if (s.argType == 0) {
                QVERIFY(call.args.isEmpty());
            } else {
                QCOMPARE(call.args.size(), 1);
                QCOMPARE(call.args.at(0).typeId(), s.argType);
            }
            QCOMPARE(got, s.expected);
        }
        QCOMPARE(failed.count(), 0);
        // The arguments' values arrive unchanged.
        control.calls.clear();
        comm.EraseID(-2);
        comm.WriteParams(id16);
        QCOMPARE(control.calls.at(0).args.at(0).value<short>(), short(-2));
        QCOMPARE(control.calls.at(1).args.at(0).toString(), id16);
    }
};

TARVEX_TEST_MAIN(TestUnlinked)
#include "tst_unlinked.moc"

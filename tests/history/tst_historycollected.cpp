// The history on a monthly file the control itself writes: tarvexctl collect on a simulated
// controller appends while a follower reads, then tarvexctl history and attendance search it.
#include "appsettings.h"
#include "historyfollower.h"
#include "historyjoin.h"
#include "historystore.h"
#include "processrun.h"
#include "regfiles.h"
#include "tarvexdoc.h"
#include "testworld.h"
#include "vr12simulator.h"
#include "workspacefile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace RegFiles;

class TestHistoryCollected : public QObject {
    Q_OBJECT

private slots:
    void historyOfWhatTheControlWrote() {
        const QString regs = freshFolder(TestWorld::instance()->path("regs"));
        {
            const std::unique_ptr<QSettings> store = CAppSettings::openStore();
            store->setValue(QStringLiteral("Settings/RegFilePath"), regs);
            store->sync();
        }
        const QByteArray known = Vr12Simulator::mediaIdFor(1);
        const QByteArray stranger = Vr12Simulator::mediaIdFor(2);
        CTarvexDoc doc;
        doc.InsertEmployee(known.toStdString(), {"Lind", "Ola"});
        CTermRecord door;
        door.Name = "Gate";
        door.ID = 4;
        doc.InsertController(3, door);
        const QString ws = TestWorld::instance()->path("site.VR-12");
        QVERIFY(CWorkspaceFile::Save(doc, ws).ok);

        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 3));
        QProcess collect;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        collect.setProcessEnvironment(env);
        collect.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tarvexctl"),
                      {"collect", ws, "--count", "3", "--seconds", "60"});
        QVERIFY(collect.waitForStarted(5000));
        QByteArray err;
        QElapsedTimer t;
        t.start();
        while (!err.contains("collecting from") && t.elapsed() < 15000 &&
               collect.state() != QProcess::NotRunning) {
            collect.waitForReadyRead(200);
            err += collect.readAllStandardError();
        }
        QVERIFY2(err.contains("collecting from 1 of 1"), err.constData());

        // The collector has opened the month's file: the follower reads it as it grows.
        CHistoryStore store;
        QVERIFY(store.load(regs));
        CHistoryFollower follower(store);
        QSignalSpy added(&follower, &CHistoryFollower::recordsAdded);
        follower.start();
        const QList<QByteArray> messages = {Vr12Simulator::registrationFor(known),
                                            Vr12Simulator::registrationFor(stranger),
                                            "+Door, open"};
        for (int i = 0; i < messages.size(); ++i) {
            sim.sendMessage(messages[i]);
            // The control waits for 340 ms of silence before it decodes and writes.
            QTRY_COMPARE_WITH_TIMEOUT(store.size(), std::size_t(i + 1), 3000);
        }
        // It ends by itself after the count.
        QVERIFY(collect.state() == QProcess::NotRunning || collect.waitForFinished(15000));
        QCOMPARE(collect.exitStatus(), QProcess::NormalExit);
        QCOMPARE(collect.exitCode(), 0);
        QCOMPARE(store.damagedLines(), 0);
        QVERIFY(!store.hasPendingLine());
        QVERIFY(!added.isEmpty());

        CHistoryJoin join;
        join.setWorkspace(&doc);
        join.update(store);
        const HistoryRecord& first = store.records()[0];
        QCOMPARE(join.medium(first.media).lastName, QStringLiteral("Lind"));
        QVERIFY(first.person);
        QCOMPARE(int(first.port), 3);
        QVERIFY(join.medium(store.records()[1].media).unknown);
        QCOMPARE(join.message(store, store.records()[2]), QStringLiteral("+Door, open"));
        QCOMPARE(join.action(store.records()[2].action), QStringLiteral("Door, open"));

        // The commands take the folder from the setting the collector wrote into.
        ProcessRun r = runProgram(QStringLiteral("tarvexctl"), {"history", "--workspace", ws});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].endsWith("\t3\tGate\t" + known + "\tLind\tOla\tO\tR" + known + " O"),
                 lines[0].constData());
        QVERIFY(lines[1].endsWith("\t3\tGate\t" + stranger + "\t\t\tO\tR" + stranger + " O"));
        QVERIFY(lines[2].endsWith("\t3\tGate\t\t\t\tDoor, open\t+Door, open"));
        r = runProgram(QStringLiteral("tarvexctl"),
                       {"history", "--workspace", ws, "--unknown", "--count"});
        QCOMPARE(r.out, QByteArray("1\n"));
        r = runProgram(QStringLiteral("tarvexctl"), {"attendance", "--workspace", ws, "--count"});
        QCOMPARE(r.out, QByteArray("2\n"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestHistoryCollected)
#include "tst_historycollected.moc"

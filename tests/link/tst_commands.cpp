// Every command of the wrapper against a simulated controller, with the named results.
#include "boundcontroller.h"

#include <QApplication>
#include <QDir>

using namespace vr12comm;

class TestCommands : public QObject {
    Q_OBJECT
    std::unique_ptr<BoundController> m_c;

private slots:
    void initTestCase() {
        QDir::setCurrent(TestWorld::instance()->root());
        m_c = std::make_unique<BoundController>();
        QVERIFY(m_c->bind(1, "commands.txt"));
    }
    void cleanupTestCase() { m_c.reset(); }

    void statusThenFirmware() {
        QCOMPARE(m_c->comm.GetFirmWare(), QString());
        m_c->sim.setFirmware("VR-12 v3.01 test  ");
        QCOMPARE(m_c->comm.GetStatus(), GetStatusOk);
        QCOMPARE(m_c->comm.GetFirmWare(), QStringLiteral("VR-12 v3.01 test  "));
    }

    void listingAddAndErase() {
        m_c->sim.fillTable(2);
        const QString first = m_c->comm.ReadFirstID();
        QCOMPARE(first, "ID00: " + QString::fromLatin1(Vr12Simulator::mediaIdFor(0)));
        QCOMPARE(m_c->comm.ReadNextID(),
                 "ID01: " + QString::fromLatin1(Vr12Simulator::mediaIdFor(1)));
        QCOMPARE(m_c->comm.ReadNextID(), QLatin1String(kReplyEndOfTable));

        const QByteArray id = Vr12Simulator::mediaIdFor(40);
        QCOMPARE(m_c->comm.AddID(QString::fromLatin1(id)), IdWriteOk);
        QCOMPARE(m_c->sim.slot(2), id);
        QCOMPARE(m_c->comm.AddID(QString::fromLatin1(id)), IdWriteAlreadyInTable);
        QCOMPARE(m_c->comm.AddID(QStringLiteral("0123")), IdWriteNotSent);
        QCOMPARE(m_c->comm.EraseID(2), EraseIdOk);
        QCOMPARE(m_c->sim.slot(2), QByteArray());
        QCOMPARE(m_c->comm.EraseID(256), EraseIdNoSlotReply);
        QCOMPARE(m_c->sim.usedSlots(), 2);
    }

    void master() {
        m_c->sim.setMaster({});
        QCOMPARE(m_c->comm.ShowMaster(), QLatin1String(kReplyErased));
        const QByteArray id = Vr12Simulator::mediaIdFor(50);
        QCOMPARE(m_c->comm.NewMaster(QString::fromLatin1(id)), IdWriteOk);
        QCOMPARE(m_c->sim.master(), id);
        QCOMPARE(m_c->comm.ShowMaster(), QString::fromLatin1(id));
    }

    void relayParameters() {
        QCOMPARE(m_c->comm.ReadParams(), QStringLiteral("0203000000000000"));
        QCOMPARE(m_c->comm.WriteParams(QStringLiteral("0405000000000000")), WriteParamsOk);
        QCOMPARE(m_c->sim.params(), QByteArray("0405000000000000"));
        QCOMPARE(m_c->comm.ReadParams(), QStringLiteral("0405000000000000"));
        QCOMPARE(m_c->comm.WriteParams(QStringLiteral("04")), WriteParamsNotSent);
    }

    void clearTable() {
        m_c->sim.fillTable(5);
        QCOMPARE(m_c->comm.ClearTable(), ClearTableOk);
        QCOMPARE(m_c->sim.usedSlots(), 0);
        QCOMPARE(m_c->comm.ReadFirstID(), QLatin1String(kReplyEndOfTable));
    }

    void openLock() {
        const int before = m_c->sim.lockOpenings();
        m_c->comm.OpenLock();
        QTRY_COMPARE_WITH_TIMEOUT(m_c->sim.lockOpenings(), before + 1, 3000);
    }

    void propertiesKeepWhatIsWritten() {
        m_c->comm.SetErrorMessage(QStringLiteral("kept"));
        m_c->comm.SetErrorCode(-70000);
        m_c->comm.SetLastReg(QStringLiteral("R\xe9"));
        m_c->comm.SetAction(QStringLiteral("M"));
        m_c->comm.SetIButtonID(QStringLiteral("00000000000000AA"));
        m_c->comm.SetDateReg(QStringLiteral("2026-01-02"));
        m_c->comm.SetTimeReg(QStringLiteral("03:04:05"));
        m_c->comm.SetFirmWare(QStringLiteral("fw"));
        QCOMPARE(m_c->comm.GetErrorMessage(), QStringLiteral("kept"));
        QCOMPARE(m_c->comm.GetErrorCode(), -70000);
        QCOMPARE(m_c->comm.GetLastReg(), QStringLiteral("R\xe9"));
        QCOMPARE(m_c->comm.GetAction(), QStringLiteral("M"));
        QCOMPARE(m_c->comm.GetIButtonID(), QStringLiteral("00000000000000AA"));
        QCOMPARE(m_c->comm.GetDateReg(), QStringLiteral("2026-01-02"));
        QCOMPARE(m_c->comm.GetTimeReg(), QStringLiteral("03:04:05"));
        QCOMPARE(m_c->comm.GetFirmWare(), QStringLiteral("fw"));
        QVERIFY(m_c->comm.ErrorText().isEmpty());
    }

    void stopped() {
        QVERIFY(m_c->comm.Destroy());
        QCOMPARE(m_c->comm.Control()->linkState(), int(LinkLogOnly));
        // No line any more: the controls' own failure results, not failed calls.
        QCOMPARE(m_c->comm.GetStatus(), GetStatusNoReply);
        QVERIFY(m_c->comm.ErrorText().isEmpty());
    }
};

TARVEX_TEST_MAIN(TestCommands)
#include "tst_commands.moc"

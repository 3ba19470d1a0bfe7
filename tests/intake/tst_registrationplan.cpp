#include "appsettings.h"
#include "registrationplan.h"
#include "registrationsfile.h"
#include "reportcommand.h"
#include "testworld.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTest>

namespace {
const QString kMedia = QStringLiteral("0A000012345678C1");

Registration registration(const QString& action, const QString& media = kMedia) {
    return {QStringLiteral("raw message"), action, media, QStringLiteral("2026-03-14"),
            QStringLiteral("14:21:59")};
}

IntakeSwitches allOn() {
    return {true, true, true};
}
} // namespace

class TestRegistrationPlan : public QObject {
    Q_OBJECT
private slots:
    void commandText() {
        QCOMPARE(reportCommandText(kMedia, "2026-03-14", "14:21:59", 12, 40000),
                 QStringLiteral("exec spOndixReg '12345678', '2026-03-14', "
                                "'2026-03-14 14:21:00','999', 12, 40000"));
        // A quote from the controller's bytes stays inside its literal, in every field.
        QCOMPARE(reportCommandText("012345O'NEIL5678", "2026'03", "1'", -1, 0),
                 QStringLiteral("exec spOndixReg 'O''NEIL56', '2026''03', "
                                "'2026''03 1''00','999', -1, 0"));
    }

    void personRegistration_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("media");
        QTest::addColumn<bool>("person");
        QTest::newRow("no action") << "" << kMedia << true;
        QTest::newRow("O") << "O" << kMedia << true;
        QTest::newRow("lower o") << "o" << kMedia << false;
        QTest::newRow("M") << "M" << kMedia << false;
        QTest::newRow("?") << "?" << kMedia << false;
        QTest::newRow("O and more") << "OO" << kMedia << false;
        QTest::newRow("15 characters") << "" << kMedia.left(15) << false;
        QTest::newRow("17 characters") << "" << kMedia + "0" << false;
        QTest::newRow("status") << ""
                                << "" << false;
    }
    void personRegistration() {
        QFETCH(QString, action);
        QFETCH(QString, media);
        QFETCH(bool, person);
        QCOMPARE(isPersonRegistration(action, media), person);

        const RegistrationPlan plan = planRegistration(registration(action, media), 3, 9, allOn());
        QCOMPARE(plan.lastReg, QStringLiteral("raw message"));
        // Every registration gets its row, whatever else it leads to.
        QCOMPARE(plan.listRow,
                 QStringList({"2026-03-14", "14:21:59", action, media, QStringLiteral("3")}));
        QCOMPARE(!plan.reportCommand.isEmpty(), person);
        QCOMPARE(plan.showPhoto, person);
    }

    void switchesDecideEachStep() {
        const Registration r = registration("O");
        const RegistrationPlan both = planRegistration(r, 5, 77, allOn());
        QCOMPARE(both.reportCommand, reportCommandText(kMedia, r.dateReg, r.timeReg, 5, 77));
        QCOMPARE(both.photoMediaId, kMedia);
        QCOMPARE(both.photoCaption, QStringLiteral("14:21:59"));

        const RegistrationPlan photoOnly = planRegistration(r, 5, 77, {false, true, true});
        QVERIFY(photoOnly.reportCommand.isEmpty());
        QVERIFY(photoOnly.showPhoto);

        const RegistrationPlan hidden = planRegistration(r, 5, 77, {true, true, false});
        QVERIFY(!hidden.reportCommand.isEmpty());
        QVERIFY(!hidden.showPhoto);
        QVERIFY(hidden.photoMediaId.isEmpty());
        QVERIFY(!planRegistration(r, 5, 77, {true, false, true}).showPhoto);

        // Controllers are told apart by the last column only.
        QCOMPARE(planRegistration(r, 1234, 0, {}).listRow.last(), QStringLiteral("1234"));
    }

    // The three stored flags as the settings store holds them (empty: not stored), and what a
    // person's registration then leads to.
    void switchesFromSettings_data() {
        QTest::addColumn<QString>("useMrdb");
        QTest::addColumn<QString>("usePhoto");
        QTest::addColumn<QString>("showPhoto");
        QTest::addColumn<bool>("report");
        QTest::addColumn<bool>("photo");
        QTest::newRow("nothing stored") << ""
                                        << ""
                                        << "" << false << false;
        QTest::newRow("all on") << "1"
                                << "1"
                                << "1" << true << true;
        QTest::newRow("reporting only") << "1"
                                        << "0"
                                        << "0" << true << false;
        QTest::newRow("photos used, window hidden") << "0"
                                                    << "1"
                                                    << "0" << false << false;
        QTest::newRow("window shown, photos unused") << "0"
                                                     << "0"
                                                     << "1" << false << false;
        QTest::newRow("photos only") << "0"
                                     << "1"
                                     << "1" << false << true;
        QTest::newRow("reporting and hidden photos") << "1"
                                                     << "1"
                                                     << "0" << true << false;
        QTest::newRow("2 is not on") << "2"
                                     << "2"
                                     << "2" << false << false;
    }
    void switchesFromSettings() {
        QFETCH(QString, useMrdb);
        QFETCH(QString, usePhoto);
        QFETCH(QString, showPhoto);
        QFETCH(bool, report);
        QFETCH(bool, photo);
        QSettings store(TestWorld::instance()->path(QStringLiteral("switches.ini")),
                        QSettings::IniFormat);
        store.clear();
        const std::pair<const char*, QString> stored[] = {{"Settings/UseMRDB", useMrdb},
                                                          {"Settings/UsePhoto", usePhoto},
                                                          {"Settings/ShowPhoto", showPhoto}};
        for (const auto& [name, value] : stored)
            if (!value.isEmpty())
                store.setValue(QLatin1String(name), value);
        CAppSettings settings;
        settings.load(store, QStringLiteral("/var/regs"));

        const RegistrationPlan plan =
            planRegistration(registration("O"), 5, 77, IntakeSwitches::from(settings));
        QCOMPARE(!plan.reportCommand.isEmpty(), report);
        QCOMPARE(plan.showPhoto, photo);
        QCOMPARE(plan.photoMediaId, photo ? kMedia : QString());
    }

    void monthlyFile() {
        QCOMPARE(registrationsFileFor("/var/regs", QDate(2026, 3, 31)),
                 QStringLiteral("/var/regs/TarvexRegs-2026-03.txt"));
        QCOMPARE(registrationsFileFor("/var/regs", QDate(2026, 12, 1)),
                 QStringLiteral("/var/regs/TarvexRegs-2026-12.txt"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestRegistrationPlan)
#include "tst_registrationplan.moc"

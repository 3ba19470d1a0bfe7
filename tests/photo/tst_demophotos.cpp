// The demo's photo database tool: every demo employee gets a portrait that the photo look-up
// finds through the settings the tool writes.
#include "adodatabase.h"
#include "appsettings.h"
#include "mediaid.h"
#include "photolookup.h"
#include "processrun.h"
#include "testworld.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QtTest>

class TestDemoPhotos : public QObject {
    Q_OBJECT
private slots:
    void everyDemoEmployeeHasAFace() {
        const QString csv =
            qEnvironmentVariable("TARVEX_SOURCE_DIR") + QStringLiteral("/demo/employees.csv");
        const QString file = TestWorld::instance()->path(QStringLiteral("demo/photos.db"));
        QDir().mkpath(TestWorld::instance()->path(QStringLiteral("demo")));
        const ProcessRun run = runProgram(QStringLiteral("tarvex-demophotos"),
                                          {file, csv, QStringLiteral("--settings")});
        QVERIFY(run.finished);
        QVERIFY2(run.exitCode == 0, run.err.constData());

        // The settings the program reads switch photos on and name the table.
        CAppSettings settings;
        settings.load(*CAppSettings::openStore(), QString());
        QVERIFY(settings.UsePhoto && settings.ShowPhoto);
        CADODataBase db;
        QVERIFY2(db.Open(settings.PhotoDB), qPrintable(db.GetLastErrorString()));
        const PhotoColumns columns{settings.PhotoTable, settings.PhotoLastName,
                                   settings.PhotoFirstName, settings.PhotoMediaID,
                                   settings.PhotoPhoto};

        QFile employees(csv);
        QVERIFY(employees.open(QIODevice::ReadOnly | QIODevice::Text));
        employees.readLine();
        int people = 0;
        QSet<QRgb> looks;
        while (!employees.atEnd()) {
            const QStringList f = QString::fromUtf8(employees.readLine()).trimmed().split(u',');
            if (f.size() < 3)
                continue;
            // The MediaID a controller reports for the employee's key.
            const auto id = NormalizeMediaId(f[2].toStdString(), MediaIButton);
            QVERIFY(id);
            const PhotoRecord r = lookUpPhoto(&db, columns, QString::fromStdString(*id));
            QCOMPARE(r.lastName, f[0]);
            QCOMPARE(r.firstName, f[1]);
            QCOMPARE(r.picture.size(), QSize(240, 320));
            looks.insert(r.picture.pixel(3, 3));
            ++people;
        }
        QVERIFY(people >= 6);
        // Drawn differently per person (the background at least).
        QVERIFY(looks.size() > 1);
    }

    void badInputFailsWithAMessage() {
        const ProcessRun missing = runProgram(QStringLiteral("tarvex-demophotos"),
                                              {TestWorld::instance()->path("x.db"), "nowhere.csv"});
        QVERIFY(missing.finished);
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("nowhere.csv"));
        const ProcessRun usage = runProgram(QStringLiteral("tarvex-demophotos"), {"--bogus"});
        QCOMPARE(usage.exitCode, 2);
    }
};

TARVEX_TEST_MAIN(TestDemoPhotos)
#include "tst_demophotos.moc"

// Settings store, placement record, locks, recent files, shell registration and version text.
#include "appsettings.h"
#include "recentfiles.h"
#include "shellregistration.h"
#include "singleinstance.h"
#include "testworld.h"
#include "versioninfo.h"
#include "windowplacement.h"

#include <QDate>
#include <QFile>
#include <QSettings>
#include <QtTest>

#include <memory>

class TestAppCore : public QObject {
    Q_OBJECT

    std::unique_ptr<QSettings> freshStore() {
        std::unique_ptr<QSettings> s(CAppSettings::openStore());
        s->clear();
        s->sync();
        return s;
    }

private slots:
    void storeLivesInTheTestConfigFolder() {
        auto s = freshStore();
        s->setValue(QStringLiteral("Settings/UseMRDB"), 1);
        s->sync();
        QVERIFY2(s->fileName().startsWith(TestWorld::instance()->configDir()),
                 qPrintable(s->fileName()));
        QVERIFY(s->fileName().endsWith(QStringLiteral("Brindlo/Tarvex.conf")));
    }

    void defaultsWithAnEmptyStore() {
        auto s = freshStore();
        CAppSettings v;
        v.UseMRDB = v.UsePhoto = v.ShowPhoto = v.AutoLoad = true;
        v.VisualStyle = 2;
        v.load(*s, QStringLiteral("/program/folder"));
        QCOMPARE(v.RegFilePath, QStringLiteral("/program/folder"));
        QVERIFY(!v.UseMRDB);
        QVERIFY(!v.UsePhoto);
        QVERIFY(!v.ShowPhoto);
        QVERIFY(!v.AutoLoad);
        QCOMPARE(v.VisualStyle, 0);
        QVERIFY(v.MRDB.isEmpty() && v.PhotoDB.isEmpty() && v.PhotoTable.isEmpty());
        QVERIFY(v.ImportFile.isEmpty() && v.ImportDB.isEmpty() && v.AutoLoadFile.isEmpty());
        // No code page chosen: it follows the locale instead of a fixed one.
        QVERIFY(v.CodePage.isEmpty());
        QVERIFY(CAppSettings::readLangWarning(*s));
        const QDate today = QDate::currentDate();
        QCOMPARE(
            v.MonthlyFileName,
            QStringLiteral("TarvexRegs-%1.txt").arg(today.toString(QStringLiteral("yyyy-MM"))));
        QCOMPARE(v.registrationsFile(), QStringLiteral("/program/folder/") + v.MonthlyFileName);
    }

    void flagsAreOnOnlyWhenExactlyOne_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("on");
        for (const char* name : {"UseMRDB", "UsePhoto", "ShowPhoto", "LangWarning"}) {
            QTest::addRow("%s=1", name) << QString::fromLatin1(name) << QVariant(1) << true;
            QTest::addRow("%s=2", name) << QString::fromLatin1(name) << QVariant(2) << false;
            QTest::addRow("%s=0", name) << QString::fromLatin1(name) << QVariant(0) << false;
            QTest::addRow("%s=-1", name) << QString::fromLatin1(name) << QVariant(-1) << false;
            QTest::addRow("%s=text", name)
                << QString::fromLatin1(name) << QVariant(QStringLiteral("yes"))
                << (QByteArray(name) == "LangWarning");
        }
        QTest::addRow("AutoLoad=2") << QStringLiteral("AutoLoad") << QVariant(2) << true;
        QTest::addRow("AutoLoad=1") << QStringLiteral("AutoLoad") << QVariant(1) << true;
        QTest::addRow("AutoLoad=0") << QStringLiteral("AutoLoad") << QVariant(0) << false;
    }
    void flagsAreOnOnlyWhenExactlyOne() {
        QFETCH(QString, name);
        QFETCH(QVariant, stored);
        QFETCH(bool, on);
        auto s = freshStore();
        s->setValue(QStringLiteral("Settings/") + name, stored);
        CAppSettings v;
        v.load(*s, QStringLiteral("/x"));
        const bool actual = name == QLatin1String("UseMRDB")     ? v.UseMRDB
                            : name == QLatin1String("UsePhoto")  ? v.UsePhoto
                            : name == QLatin1String("ShowPhoto") ? v.ShowPhoto
                            : name == QLatin1String("AutoLoad")  ? v.AutoLoad
                                                                : CAppSettings::readLangWarning(*s);
        QCOMPARE(actual, on);
    }

    void visualStyleOutsideTheThreeFallsBack() {
        auto s = freshStore();
        for (int stored : {0, 1, 2, 3, -1, 99}) {
            s->setValue(QStringLiteral("Settings/VisualStyle"), stored);
            CAppSettings v;
            v.load(*s, QString());
            QCOMPARE(v.VisualStyle, stored >= 0 && stored <= 2 ? stored : 0);
        }
    }

    void saveWritesEveryValueInOrderAndReadsBack() {
        CAppSettings v;
        const QStringList order = {
            "UseMRDB",       "MRDB",           "UsePhoto",     "PhotoDB",     "PhotoTable",
            "PhotoLastName", "PhotoFirstName", "PhotoMediaID", "PhotoPhoto",  "ShowPhoto",
            "RegFilePath",   "AutoLoad",       "AutoLoadFile", "VisualStyle", "ImportFile",
            "ImportDB",      "LangWarning",    "CodePage"};
        QStringList names;
        for (const auto& entry : v.values())
            names << entry.first;
        QCOMPARE(names, order);

        auto s = freshStore();
        s->setValue(QStringLiteral("Settings/AutoLoad"), 2);
        s->setValue(QStringLiteral("Settings/UseMRDB"), 2);
        v.load(*s, QStringLiteral("/reg"));
        v.MRDB = QStringLiteral("DSN=x;UID=a");
        v.PhotoTable = QStringLiteral("Photos");
        v.VisualStyle = 2;
        v.LangWarning = false;
        v.save(*s);
        // Flags are written as 1 or 0, numbers stay numbers.
        QSettings raw(s->fileName(), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Settings/AutoLoad")).toString(), QStringLiteral("1"));
        QCOMPARE(raw.value(QStringLiteral("Settings/UseMRDB")).toString(), QStringLiteral("0"));
        QCOMPARE(raw.value(QStringLiteral("Settings/VisualStyle")).toString(), QStringLiteral("2"));
        QCOMPARE(raw.value(QStringLiteral("Settings/LangWarning")).toString(), QStringLiteral("0"));
        QCOMPARE(raw.value(QStringLiteral("Settings/RegFilePath")).toString(),
                 QStringLiteral("/reg"));

        CAppSettings back;
        back.load(*s, QStringLiteral("/other"));
        QCOMPARE(back.MRDB, v.MRDB);
        QCOMPARE(back.PhotoTable, v.PhotoTable);
        QCOMPARE(back.RegFilePath, QStringLiteral("/reg"));
        QVERIFY(back.AutoLoad);
        QVERIFY(!back.UseMRDB);
        QVERIFY(!CAppSettings::readLangWarning(*s));
        // Saving does not pin an unchosen code page to today's locale.
        QVERIFY(back.CodePage.isEmpty());
        back.CodePage = QStringLiteral("1250");
        back.save(*s);
        CAppSettings chosen;
        chosen.load(*s, QString());
        QCOMPARE(chosen.CodePage, QStringLiteral("1250"));
    }

    void monthlyFileName() {
        QCOMPARE(CAppSettings::monthlyFileNameFor(2026, 3),
                 QStringLiteral("TarvexRegs-2026-03.txt"));
        QCOMPARE(CAppSettings::monthlyFileNameFor(999, 12),
                 QStringLiteral("TarvexRegs-0999-12.txt"));
    }

    void placementRecord() {
        CWindowPlacement p;
        p.showCmd = CWindowPlacement::SW_SHOWMAXIMIZED;
        p.setNormalRect(QRect(10, 20, 300, 200));
        const QByteArray bytes = p.toBytes();
        QCOMPARE(bytes.size(), 44);
        QCOMPARE(QByteArray(bytes.constData(), 4), QByteArray("\x2c\0\0\0", 4));
        QCOMPARE(QByteArray(bytes.constData() + 8, 4), QByteArray("\x03\0\0\0", 4));
        // normal rectangle: left 10, top 20, right 310, bottom 220
        QCOMPARE(QByteArray(bytes.constData() + 28, 16),
                 QByteArray("\x0a\0\0\0\x14\0\0\0\x36\x01\0\0\xdc\0\0\0", 16));
        const auto back = CWindowPlacement::fromBytes(bytes);
        QVERIFY(back);
        QCOMPARE(back->normalRect(), QRect(10, 20, 300, 200));
        QCOMPARE(back->showCmd, CWindowPlacement::SW_SHOWMAXIMIZED);

        QVERIFY(!CWindowPlacement::fromBytes(bytes.left(43)));
        QVERIFY(!CWindowPlacement::fromBytes(bytes + '\0'));
        QByteArray wrongLength = bytes;
        wrongLength[0] = 40;
        QVERIFY(!CWindowPlacement::fromBytes(wrongLength));
        CWindowPlacement empty;
        QVERIFY(!CWindowPlacement::fromBytes(empty.toBytes()));
    }

    void oneLockHolder() {
        CSingleInstance first;
        QVERIFY(first.acquire(CSingleInstance::programLockName()));
        QVERIFY(first.path().startsWith(TestWorld::instance()->runtimeDir()));
        {
            CSingleInstance second;
            QVERIFY(!second.acquire(CSingleInstance::programLockName()));
            // The unowned object of the settings never blocks anyone.
            CSingleInstance other;
            QVERIFY(other.openUnowned(CSingleInstance::settingsLockName()));
            CSingleInstance again;
            QVERIFY(again.openUnowned(CSingleInstance::settingsLockName()));
        }
        QVERIFY(CSingleInstance::programLockName() != CSingleInstance::settingsLockName());
        QCOMPARE(CSingleInstance::programLockName().size(), 36);
        QCOMPARE(CSingleInstance::settingsLockName().size(), 36);
    }

    void lockIsFreeAgainWhenTheHolderGoes() {
        {
            CSingleInstance first;
            QVERIFY(first.acquire(CSingleInstance::programLockName()));
        }
        CSingleInstance next;
        QVERIFY(next.acquire(CSingleInstance::programLockName()));
    }

    void recentFiles() {
        CRecentFileList list;
        for (const char* name :
             {"/w/a.VR-12", "/w/b.VR-12", "/w/c.VR-12", "/w/d.VR-12", "/w/e.VR-12"})
            list.add(QString::fromLatin1(name));
        QCOMPARE(list.files(),
                 QStringList({"/w/e.VR-12", "/w/d.VR-12", "/w/c.VR-12", "/w/b.VR-12"}));
        list.add(QStringLiteral("/w/c.VR-12"));
        QCOMPARE(list.files(),
                 QStringList({"/w/c.VR-12", "/w/e.VR-12", "/w/d.VR-12", "/w/b.VR-12"}));
        auto s = freshStore();
        list.save(*s);
        list.remove(0);
        list.remove(7);
        CRecentFileList back;
        back.load(*s);
        QCOMPARE(back.files(),
                 QStringList({"/w/c.VR-12", "/w/e.VR-12", "/w/d.VR-12", "/w/b.VR-12"}));
        list.save(*s);
        back.load(*s);
        QCOMPARE(back.files().size(), 3);
        QVERIFY(!s->contains(QStringLiteral("Recent File List/File4")));
    }

    void fileTypeRegistration() {
        const QString exe = QStringLiteral("/opt/my apps/tarvex");
        QVERIFY(CShellRegistration::registerFileType(exe, QStringLiteral(".VR-12"),
                                                     QStringLiteral("Tarvex Document"),
                                                     QStringLiteral("Tarvex")));
        QVERIFY(CShellRegistration::mimeFile().startsWith(TestWorld::instance()->dataDir()));
        QFile mime(CShellRegistration::mimeFile());
        QVERIFY(mime.open(QIODevice::ReadOnly));
        const QByteArray m = mime.readAll();
        QVERIFY(m.contains("<glob pattern=\"*.VR-12\"/>"));
        QVERIFY(m.contains("<comment>Tarvex Document</comment>"));
        QFile desktop(CShellRegistration::desktopFile());
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        const QByteArray d = desktop.readAll();
        QVERIFY2(d.contains("Exec=\"/opt/my apps/tarvex\" %f\n"), d.constData());
        QVERIFY(d.contains("MimeType=application/x-tarvex-document;"));
        QVERIFY(d.contains("Name=Tarvex\n"));
    }

    void versionAndBuild() {
        const CVersionInfo v = CVersionInfo::parse(CVersionInfo::versionText());
        QCOMPARE(v.version, QStringLiteral("3.0.0"));
        QCOMPARE(v.build, QStringLiteral("5"));
        QCOMPARE(CVersionInfo::parse(QStringLiteral(" 4 ,1, 2 , 17 ")).version,
                 QStringLiteral("4.1.2"));
        QCOMPARE(CVersionInfo::parse(QStringLiteral("7")).build, QString());
    }
};

TARVEX_TEST_GUILESS_MAIN(TestAppCore)
#include "tst_appcore.moc"

// Settings store, placement record, locks, recent files, shell registration and version text.
#include "appsettings.h"
#include "commandline.h"
#include "envoverride.h"
#include "instancechannel.h"
#include "recentfiles.h"
#include "shellregistration.h"
#include "singleinstance.h"
#include "testworld.h"
#include "versioninfo.h"
#include "windowplacement.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QtTest>

#include <future>
#include <memory>

namespace {
// An executable script that appends its arguments to a log, after an optional pause.
void writeRecorder(const QString& path, const QString& log, int sleepSeconds) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("#!/bin/sh\nsleep %1\necho \"$0 $*\" >> '%2'\n")
                .arg(sleepSeconds)
                .arg(log)
                .toUtf8());
    f.close();
    QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

QStringList logLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

class TestAppCore : public QObject {
    Q_OBJECT

    std::unique_ptr<QSettings> freshStore() {
        auto s = CAppSettings::openStore();
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
        v.MRDBCall = QStringLiteral("call");
        v.ReportQueueMax = 7;
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
        // Existing sites keep today's command text and the queue its bound.
        QCOMPARE(v.MRDBCall, QStringLiteral("exec"));
        QCOMPARE(v.ReportQueueMax, 100000);
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

    void everySettingSurvivesARestart() {
        // What the user set in one run is what the next run starts with.
        CAppSettings v;
        v.UseMRDB = v.UsePhoto = v.ShowPhoto = v.AutoLoad = true;
        v.LangWarning = false;
        v.MRDB = QStringLiteral("DSN=reports;UID=u");
        v.PhotoDB = QStringLiteral("Driver=SQLite3;Database=/p/photos.db");
        v.PhotoTable = QStringLiteral("Pictures");
        v.PhotoLastName = QStringLiteral("Surname");
        v.PhotoFirstName = QStringLiteral("Given");
        v.PhotoMediaID = QStringLiteral("Key");
        v.PhotoPhoto = QStringLiteral("Image");
        v.RegFilePath = QStringLiteral("/var/regs");
        v.AutoLoadFile = QStringLiteral("/w/doors.VR-12");
        v.VisualStyle = 1;
        v.ImportFile = QStringLiteral("/w/staff.csv");
        v.ImportDB = QStringLiteral("DSN=hr");
        v.CodePage = QStringLiteral("windows-1250");
        v.MRDBCall = QStringLiteral("call");
        v.ReportQueueMax = 500;
        {
            auto s = freshStore();
            v.save(*s);
        }
        auto s = CAppSettings::openStore();
        CAppSettings next;
        next.load(*s, QStringLiteral("/program"));
        next.LangWarning = CAppSettings::readLangWarning(*s);
        const auto saved = v.values();
        const auto loaded = next.values();
        QCOMPARE(loaded.size(), saved.size());
        for (size_t i = 0; i < saved.size(); ++i) {
            QVERIFY2(
                loaded[i].second.toString() == saved[i].second.toString(),
                qPrintable(saved[i].first + QStringLiteral(": ") + loaded[i].second.toString()));
        }
    }

    void saveWritesFlagsAsNumbersAndReadsBack() {
        CAppSettings v;
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

        // The restore-to-maximised flag travels in the flags field.
        p.flags = CWindowPlacement::WPF_RESTORETOMAXIMIZED;
        p.showCmd = CWindowPlacement::SW_SHOWMINIMIZED;
        QCOMPARE(QByteArray(p.toBytes().constData() + 4, 4), QByteArray("\x02\0\0\0", 4));
        QVERIFY(CWindowPlacement::fromBytes(p.toBytes())->restoresToMaximised());
        QVERIFY(!back->restoresToMaximised());
    }

    void firstWindowRectangle() {
        // Room enough: 1000 by 700, centred.
        QCOMPARE(CWindowPlacement::defaultRect(QRect(0, 0, 1920, 1040)),
                 QRect(460, 170, 1000, 700));
        QCOMPARE(CWindowPlacement::defaultRect(QRect(1920, 30, 1600, 900)),
                 QRect(1920 + 300, 30 + 100, 1000, 700));
        // A window that needs more gets it.
        QCOMPARE(CWindowPlacement::defaultRect(QRect(0, 0, 1920, 1040), QSize(1200, 650)),
                 QRect(360, 170, 1200, 700));
        // A small screen: the whole available area.
        QCOMPARE(CWindowPlacement::defaultRect(QRect(0, 24, 800, 576)), QRect(0, 24, 800, 576));
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
    }

    void lockThatCannotBeCreatedIsNotAnotherCopy() {
        // A runtime folder that cannot exist (under a plain file), with no usable fallback.
        const QString blocker = TestWorld::instance()->path(QStringLiteral("plainfile"));
        {
            QFile f(blocker);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        EnvOverride runtime("XDG_RUNTIME_DIR", blocker + QStringLiteral("/run"));
        EnvOverride tmp("TMPDIR", blocker);
        CSingleInstance lock;
        QCOMPARE(lock.tryAcquire(CSingleInstance::programLockName()),
                 CSingleInstance::Result::Failed);
        QVERIFY(!lock.held());
        QVERIFY2(lock.error().startsWith(blocker), qPrintable(lock.error()));
        QVERIFY2(lock.error().contains(QStringLiteral("Not a directory")),
                 qPrintable(lock.error()));
    }

    void lockHeldElsewhereIsAnotherCopy() {
        CSingleInstance first;
        QCOMPARE(first.tryAcquire(CSingleInstance::programLockName()),
                 CSingleInstance::Result::Acquired);
        CSingleInstance second;
        QCOMPARE(second.tryAcquire(CSingleInstance::programLockName()),
                 CSingleInstance::Result::HeldByOther);
        QVERIFY(second.error().isEmpty());
    }

    void commandLineReachesTheRunningCopy() {
        CInstanceChannel running;
        // A socket file left behind by a copy that died is taken over.
        {
            QFile stale(CInstanceChannel::socketPath());
            QVERIFY(stale.open(QIODevice::WriteOnly));
        }
        QVERIFY2(running.listen(), qPrintable(running.errorString()));
        QVERIFY(CInstanceChannel::socketPath().startsWith(TestWorld::instance()->runtimeDir()));
        QList<QStringList> received;
        connect(&running, &CInstanceChannel::commandLineReceived, this,
                [&](const QStringList& args) { received << args; });

        // While start-up runs, requests wait; they are confirmed at once all the same.
        auto first = std::async(std::launch::async, [] {
            return CInstanceChannel::sendToRunning({QStringLiteral("/w/a file.VR-12")}, 5000);
        });
        QTRY_VERIFY(first.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready);
        QVERIFY(first.get());
        auto second = std::async(std::launch::async,
                                 [] { return CInstanceChannel::sendToRunning({}, 5000); });
        QTRY_VERIFY(second.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready);
        QVERIFY(second.get());
        QVERIFY(received.isEmpty());
        running.setAccepting(true);
        QCOMPARE(received, QList<QStringList>({{QStringLiteral("/w/a file.VR-12")}, {}}));

        // Now straight through.
        auto third = std::async(std::launch::async, [] {
            return CInstanceChannel::sendToRunning({QStringLiteral("/w/\u00e9.VR-12")}, 5000);
        });
        QTRY_COMPARE(received.size(), 3);
        QCOMPARE(received.last(), QStringList({QStringLiteral("/w/\u00e9.VR-12")}));
        QVERIFY(third.get());
        QVERIFY(CInstanceChannel::isRunningCopyListening());
    }

    void nobodyListening() {
        QVERIFY(!CInstanceChannel::isRunningCopyListening());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!CInstanceChannel::sendToRunning({QStringLiteral("/x.VR-12")}, 300));
        QVERIFY2(clock.elapsed() >= 250 && clock.elapsed() < 5000,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void relativeNamesBecomeAbsolute() {
        QCOMPARE(CInstanceChannel::absoluteArguments(
                     {QStringLiteral("a.VR-12"), QStringLiteral("../b/c.VR-12"),
                      QStringLiteral("/abs/d.VR-12"), QStringLiteral("-x")},
                     QStringLiteral("/home/u/work")),
                 QStringList({"/home/u/work/a.VR-12", "/home/u/b/c.VR-12", "/abs/d.VR-12", "-x"}));
    }

    void commandLineOptions() {
        using A = CCommandLine::Action;
        QCOMPARE(CCommandLine::parse({}).action, A::Run);
        QCOMPARE(CCommandLine::parse({}).fileName, QString());
        const CCommandLine file =
            CCommandLine::parse({QStringLiteral("a.VR-12"), QStringLiteral("b.VR-12")});
        QCOMPARE(file.action, A::Run);
        QCOMPARE(file.fileName, QStringLiteral("a.VR-12"));
        for (const char* h : {"-h", "--help", "-?"})
            QCOMPARE(CCommandLine::parse({QString::fromLatin1(h)}).action, A::Help);
        for (const char* v : {"-v", "--version"})
            QCOMPARE(CCommandLine::parse({QString::fromLatin1(v)}).action, A::Version);
        const CCommandLine bad =
            CCommandLine::parse({QStringLiteral("x.VR-12"), QStringLiteral("--frobnicate")});
        QCOMPARE(bad.action, A::Error);
        QVERIFY(bad.error.contains(QStringLiteral("'--frobnicate'")));
        // After "--" a name may start with a dash.
        const CCommandLine dashed = CCommandLine::parse({"--", "-odd.VR-12"});
        QCOMPARE(dashed.action, A::Run);
        QCOMPARE(dashed.fileName, QStringLiteral("-odd.VR-12"));
        // The early look finds help and version among options the toolkit has not taken yet.
        QCOMPARE(CCommandLine::quickParse({"-platform", "xcb", "--version"}).action, A::Version);
        QCOMPARE(CCommandLine::quickParse({"-style=x", "f.VR-12"}).action, A::Run);
        QCOMPARE(CCommandLine::quickParse({"--", "--help"}).action, A::Run);
        QVERIFY(CCommandLine::usage(QStringLiteral("tarvex")).startsWith("Usage: tarvex"));
        QCOMPARE(CCommandLine::versionLine(), QStringLiteral("Tarvex 3.0.0 (Build 5)\n"));
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

    void fileTypeRegistrationRefreshesTheDesktopCaches() {
        TestWorld* world = TestWorld::instance();
        const QString bin = world->path(QStringLiteral("fakebin"));
        QDir().mkpath(bin);
        const QString log = world->path(QStringLiteral("tools.log"));
        QFile::remove(log);
        // The tools take their time; the registration must not wait for them.
        writeRecorder(bin + QStringLiteral("/update-mime-database"), log, 2);
        writeRecorder(bin + QStringLiteral("/update-desktop-database"), log, 2);
        EnvOverride path("PATH", bin + QStringLiteral(":/usr/bin:/bin"));
        QFile::remove(CShellRegistration::mimeFile());
        QFile::remove(CShellRegistration::desktopFile());
        const QString mimeFolder = world->dataDir() + QStringLiteral("/mime");
        const QString appFolder = world->dataDir() + QStringLiteral("/applications");

        QElapsedTimer clock;
        clock.start();
        QVERIFY(CShellRegistration::registerFileType(
            QStringLiteral("/opt/t/tarvex"), QStringLiteral(".VR-12"),
            QStringLiteral("Tarvex Document"), QStringLiteral("Tarvex")));
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(logLines(log).size(), 2, 15000);
        QStringList lines = logLines(log);
        lines.sort();
        QCOMPARE(lines, QStringList({bin + QStringLiteral("/update-desktop-database ") + appFolder,
                                     bin + QStringLiteral("/update-mime-database ") + mimeFolder}));

        // Nothing changed and both caches are there: nothing runs.
        QFile::remove(log);
        QFile(mimeFolder + QStringLiteral("/mime.cache")).open(QIODevice::WriteOnly);
        QFile(appFolder + QStringLiteral("/mimeinfo.cache")).open(QIODevice::WriteOnly);
        QVERIFY(CShellRegistration::registerFileType(
            QStringLiteral("/opt/t/tarvex"), QStringLiteral(".VR-12"),
            QStringLiteral("Tarvex Document"), QStringLiteral("Tarvex")));
        // A changed program path rewrites only the desktop entry.
        QVERIFY(CShellRegistration::registerFileType(
            QStringLiteral("/opt/u/tarvex"), QStringLiteral(".VR-12"),
            QStringLiteral("Tarvex Document"), QStringLiteral("Tarvex")));
        QTRY_COMPARE_WITH_TIMEOUT(logLines(log).size(), 1, 15000);
        QTest::qWait(2500);
        QCOMPARE(logLines(log),
                 QStringList({bin + QStringLiteral("/update-desktop-database ") + appFolder}));

        // Without the tools on PATH the registration still succeeds.
        QFile::remove(log);
        EnvOverride noTools("PATH", QStringLiteral("/nonexistent"));
        QFile::remove(CShellRegistration::mimeFile());
        QVERIFY(CShellRegistration::registerFileType(
            QStringLiteral("/opt/t/tarvex"), QStringLiteral(".VR-12"),
            QStringLiteral("Tarvex Document"), QStringLiteral("Tarvex")));
        QTest::qWait(300);
        QVERIFY(!QFile::exists(log));
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

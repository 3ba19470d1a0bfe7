// Start-up and shutdown of the application object: order, splash texts, settings, the
// single running copy, the databases and the command line.
#include "aboutdlg.h"
#include "adodatabase.h"
#include "appsettings.h"
#include "cmdui.h"
#include "documentflow.h"
#include "empview.h"
#include "envoverride.h"
#include "historymodel.h"
#include "historywindow.h"
#include "instancechannel.h"
#include "instancehandover.h"
#include "mainframe.h"
#include "mainpanes.h"
#include "processrun.h"
#include "resourceids.h"
#include "scriptedprompts.h"
#include "shellregistration.h"
#include "singleinstance.h"
#include "skin.h"
#include "splashdlg.h"
#include "tarvexapp.h"
#include "tarvexdoc.h"
#include "testapp.h"
#include "testfiles.h"
#include "testworld.h"
#include "windowplacement.h"
#include "workspacefile.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {
QString programBinary() {
    return qEnvironmentVariable("TARVEX_BINARY_DIR") + QStringLiteral("/bin/tarvex");
}

// Every file below a folder, recursively.
QStringList filesBelow(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    return out;
}
} // namespace

class TestTarvexApp : public QObject {
    Q_OBJECT

    QString programFolder() { return TestWorld::instance()->path(QStringLiteral("program")); }

    std::unique_ptr<QSettings> store() { return CAppSettings::openStore(); }

    void setStored(const QString& name, const QVariant& value) {
        auto s = store();
        s->setValue(name, value);
        s->sync();
    }

    ScriptedPrompts prompts;

    std::unique_ptr<CTarvexApp> makeApp(const QStringList& args = {}) {
        return makeTestApp(programFolder(), prompts, args);
    }

    void exitThroughFileExit(CTarvexApp& app) {
        QVERIFY(app.mainFrame()->commands().execute(res::ID_APP_EXIT));
        QTRY_VERIFY(app.mainFrame() == nullptr);
    }

    // A workspace file of one employee in a folder of the test world; empty when not written.
    QString oneEmployeeWorkspace(const QString& folder, const QString& name,
                                 const std::string& mediaId, const CEmpRecord& employee) {
        const QString dir = TestWorld::instance()->path(folder);
        QDir().mkpath(dir);
        CTarvexDoc doc;
        doc.InsertEmployee(mediaId, employee);
        const QString path = dir + QLatin1Char('/') + name;
        return CWorkspaceFile::Save(doc, path).ok ? path : QString();
    }

private slots:
    void init() {
        QDir().mkpath(programFolder());
        auto s = store();
        s->clear();
        s->sync();
        prompts = ScriptedPrompts();
    }

    void startsInOrderAndShutsDownInOrder() {
        auto app = makeApp();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(app->InitInstance());
        const qint64 initDone = clock.elapsed();
        QCOMPARE(app->trace(), QStringList({"SingleInstance", "Profile", "ProgramFolder",
                                            "LangWarning", "Language", "PhotoWindow", "Splash",
                                            "RecentFiles", "LoadGlobalSettings", "ReopenMRDatabase",
                                            "ReopenPhotoDB", "DocTemplate", "CommandLine",
                                            "ProcessShellCommand", "ShowWindow", "SplashTimer"}));
        QCOMPARE(app->splash()->statusHistory(),
                 QStringList({"LoadGlobalSettings", "ReopenMRDatabase", "ReopenPhotoDB",
                              "CSingleDocTemplate", "CCommandLineInfo", "ProcessShellCommand",
                              "ShowWindow", "OK"}));
        QVERIFY(prompts.stops.isEmpty());
        QCOMPARE(app->splash()->parentWidget(), app->photoWindow());
        QVERIFY(!app->photoWindow()->isVisible());
        QVERIFY(app->mainFrame()->isVisible());
        QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("New - Tarvex"));
        QVERIFY(app->document() && !app->document()->IsModified());
        QVERIFY(QFile::exists(CShellRegistration::mimeFile()));
        QVERIFY(QFile::exists(CShellRegistration::desktopFile()));
        // Defaults with an empty store.
        const CAppSettings& v = CAppSettings::instance();
        QCOMPARE(v.RegFilePath, programFolder());
        QVERIFY(!v.UseMRDB && !v.UsePhoto && !v.ShowPhoto && !v.AutoLoad && v.LangWarning);
        QCOMPARE(CSkin::current(), 0);

        // The splash window hides itself one second after the window was shown: not sooner,
        // and not much later (the margin is for a loaded machine and the 50 ms polling).
        QVERIFY(app->splash()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!app->splash()->isVisible(), 10000);
        const qint64 shownFor = clock.elapsed() - initDone;
        QVERIFY2(shownFor >= 1000 - 20 && shownFor < 1000 + 2500,
                 qPrintable(QString::number(shownFor)));

        const int before = int(app->trace().size());
        exitThroughFileExit(*app);
        QVERIFY(app->splash()->isVisible());
        QCOMPARE(app->splash()->statusText(), QStringLiteral("Tarvex is closing. Please wait..."));
        app->ExitInstance();
        QCOMPARE(app->trace().mid(before),
                 QStringList({"Exit", "CloseWorkspace", "DestroyMainWindow", "ExitInstance",
                              "DestroyPhotoWindow", "DestroySplash", "SaveSettings",
                              "SaveRecentFiles"}));
        QVERIFY(app->photoWindow() == nullptr && app->splash() == nullptr);

        auto s = store();
        QCOMPARE(s->value(QStringLiteral("Settings/UseMRDB")).toInt(), 0);
        QCOMPARE(s->value(QStringLiteral("Settings/LangWarning")).toInt(), 1);
        QCOMPARE(s->value(QStringLiteral("Settings/RegFilePath")).toString(), programFolder());
        QCOMPARE(s->value(QStringLiteral("Settings/Placement")).toByteArray().size(), 44);
        QVERIFY(s->contains(QStringLiteral("Bars/State")));
    }

    void secondCopyTouchesNothing() {
        setStored(QStringLiteral("Settings/UseMRDB"), 2);
        const QString file = store()->fileName();
        const QByteArray before = fileBytes(file);
        // Written by the running copy's start with its own path; a second start rewrites nothing.
        const QByteArray desktopBefore = fileBytes(CShellRegistration::desktopFile());
        const QByteArray mimeBefore = fileBytes(CShellRegistration::mimeFile());
        CSingleInstance running;
        QVERIFY(running.acquire(CSingleInstance::programLockName()));
        {
            auto app = makeApp();
            QVERIFY(!app->InitInstance());
            QCOMPARE(app->trace(), QStringList({"SingleInstance"}));
            QVERIFY(app->mainFrame() == nullptr && app->splash() == nullptr);
            app->ExitInstance();
            QCOMPARE(app->trace(), QStringList({"SingleInstance", "ExitInstance"}));
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible());
        QCOMPARE(fileBytes(file), before);

        // The program itself: a second start ends at once.
        const ProcessRun second = runProgram(QStringLiteral("tarvex"), {}, 20000);
        QVERIFY(second.finished);
        QVERIFY2(second.exitCode != -1, second.err.constData());
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(fileBytes(CShellRegistration::desktopFile()), desktopBefore);
        QCOMPARE(fileBytes(CShellRegistration::mimeFile()), mimeBefore);
    }

    void lockThatCannotBeMadeWarnsAndStartsAnyway() {
        // The runtime folder lies under a plain file: it can neither exist nor be made.
        const QString blocker = TestWorld::instance()->path(QStringLiteral("plainfile"));
        {
            QFile f(blocker);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        EnvOverride runtime("XDG_RUNTIME_DIR", blocker + QStringLiteral("/run"));
        EnvOverride tmp("TMPDIR", blocker);
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        QVERIFY(!app->ownsLock() && !app->isSecondCopy());
        QVERIFY(app->mainFrame()->isVisible());
        QCOMPARE(prompts.warnings.size(), 1);
        const QString warning = prompts.warnings.first();
        QVERIFY2(warning.contains(blocker), qPrintable(warning));
        QVERIFY2(warning.contains(QStringLiteral("Not a directory")), qPrintable(warning));
        QVERIFY(prompts.stops.isEmpty());
        exitThroughFileExit(*app);
        app->ExitInstance();
        // Such a run still saves its settings at the end.
        QVERIFY(app->trace().contains(QStringLiteral("SaveSettings")));
        QCOMPARE(store()->value(QStringLiteral("Settings/Placement")).toByteArray().size(), 44);

        // The program itself says so on stderr, and runs.
        QProcess alone;
        alone.start(programBinary(), {});
        QVERIFY(alone.waitForStarted());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT(
            (said += alone.readAllStandardError()).contains("Not a directory") ||
                alone.state() == QProcess::NotRunning,
            20000);
        QCOMPARE(alone.state(), QProcess::Running);
        alone.kill();
        alone.waitForFinished();
    }

    void secondStartHandsItsFileToTheRunningCopy() {
        const QString work = TestWorld::instance()->path(QStringLiteral("work"));
        const QString handed =
            oneEmployeeWorkspace(QStringLiteral("work"), QStringLiteral("handed.VR-12"),
                                 "00000000000000DD", CEmpRecord{"Handed", "Over"});
        QVERIFY(!handed.isEmpty());
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        CMainFrame* frame = app->mainFrame();
        app->document()->InsertEmployee("0000000000000001", CEmpRecord{"A", "B"});
        app->document()->SetModifiedFlag(true);
        // Hidden in the tray.
        frame->showMinimized();
        frame->hide();
        prompts.saveAnswers = {IUserPrompts::No};

        // A relative name, from the second start's own folder.
        QProcess second;
        second.setWorkingDirectory(work);
        second.start(programBinary(), {QStringLiteral("handed.VR-12")});
        QVERIFY(second.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QTRY_COMPARE(app->document()->Employees().size(), size_t(1));
        QVERIFY(app->document()->Employees().count("00000000000000DD"));
        QCOMPARE(prompts.asked.size(), 1); // the save prompt came first
        QCOMPARE(frame->windowTitle(), QStringLiteral("handed.VR-12 - Tarvex"));
        QCOMPARE(app->recentFiles().files().value(0), handed);
        QVERIFY(frame->isVisible() && !frame->isMinimized());

        // Without a file the running copy only comes to the front.
        frame->showMinimized();
        frame->hide();
        QProcess bare;
        bare.start(programBinary(), {});
        QVERIFY(bare.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(bare.state() == QProcess::NotRunning, 20000);
        QCOMPARE(bare.exitCode(), 0);
        QTRY_VERIFY(frame->isVisible());
        QVERIFY(!frame->isMinimized());
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(frame->windowTitle(), QStringLiteral("handed.VR-12 - Tarvex"));
        exitThroughFileExit(*app);
        app->ExitInstance();
        // Gone with the copy that served it.
        QVERIFY(!CInstanceChannel::isRunningCopyListening());
    }

    // A dialog's OK writes into the workspace it was opened on: a handed-over file waits until
    // no dialog is open and the window takes input again, while the window comes up at once.
    void handedOverFileWaitsForTheOpenDialogAndTheRunningCommand() {
        const QString handed =
            oneEmployeeWorkspace(QStringLiteral("waiting"), QStringLiteral("waits.VR-12"),
                                 "00000000000000EE", CEmpRecord{"Waits", "Turn"});
        QVERIFY(!handed.isEmpty());
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        CMainFrame* frame = app->mainFrame();
        const auto handOver = [&] {
            QProcess second;
            second.start(programBinary(), {handed});
            QVERIFY(second.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
            QCOMPARE(second.exitCode(), 0);
        };

        // A dialog over the workspace, as Edit controller is while the user types.
        frame->showMinimized();
        frame->hide();
        {
            QDialog dialog(frame);
            dialog.setWindowModality(Qt::ApplicationModal);
            dialog.show();
            QCOMPARE(QApplication::activeModalWidget(), &dialog);
            handOver();
            QTRY_VERIFY(frame->isVisible() && !frame->isMinimized());
            QTest::qWait(3 * CInstanceHandover::kWaitLookMs);
            QVERIFY(app->document()->Employees().empty());
            QCOMPARE(frame->windowTitle(), QStringLiteral("New - Tarvex"));
            dialog.reject();
        }
        QTRY_COMPARE(app->document()->Employees().size(), size_t(1));
        QCOMPARE(frame->windowTitle(), QStringLiteral("waits.VR-12 - Tarvex"));

        // A controller command that lets events through keeps the window from taking input.
        app->document()->ClearWorkspace();
        app->document()->SetModifiedFlag(false);
        frame->setEnabled(false);
        handOver();
        QTest::qWait(3 * CInstanceHandover::kWaitLookMs);
        QVERIFY(app->document()->Employees().empty());
        frame->setEnabled(true);
        QTRY_COMPARE(app->document()->Employees().size(), size_t(1));
        QVERIFY(prompts.asked.isEmpty());
        exitThroughFileExit(*app);
        app->ExitInstance();
    }

    void helpAndVersionStartNothing() {
        // A world of its own for the program, which must stay empty; no display either.
        const QString quiet = TestWorld::instance()->path(QStringLiteral("quiet"));
        QDir().mkpath(quiet + QStringLiteral("/runtime"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            env.insert(QString::fromLatin1(var), quiet);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), quiet + QStringLiteral("/runtime"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        const auto run = [&](const QStringList& args, const QProcessEnvironment& e) {
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(e);
            p->start(programBinary(), args);
            p->waitForFinished(20000);
            return p;
        };
        auto help = run({QStringLiteral("--help")}, env);
        QCOMPARE(help->exitStatus(), QProcess::NormalExit);
        QCOMPARE(help->exitCode(), 0);
        const QByteArray usage = help->readAllStandardOutput();
        QVERIFY2(usage.startsWith("Usage: tarvex [options] [file]"), usage.constData());
        QVERIFY(usage.contains("--version"));
        auto version = run(
            {QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("--version")}, env);
        QCOMPARE(version->exitCode(), 0);
        QCOMPARE(version->readAllStandardOutput(), QByteArray("Tarvex 3.0.0 (Build 5)\n"));
        QCOMPARE(filesBelow(quiet), QStringList());

        // An option nobody knows is named, before anything starts.
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        auto unknown = run({QStringLiteral("--frobnicate"), QStringLiteral("x.VR-12")}, env);
        QCOMPARE(unknown->exitStatus(), QProcess::NormalExit);
        QCOMPARE(unknown->exitCode(), 2);
        QVERIFY(unknown->readAllStandardError().contains("'--frobnicate'"));
        QCOMPARE(unknown->readAllStandardOutput(), QByteArray());
        QCOMPARE(filesBelow(quiet), QStringList());
    }

    void listsShowNamesInTheStoredCodePage() {
        // "Łukasz Żółć" as windows-1250 bytes: shown right only through that code page.
        setStored(QStringLiteral("Settings/CodePage"), QStringLiteral("1250"));
        const QString file = TestWorld::instance()->path(QStringLiteral("polish.VR-12"));
        {
            CTarvexDoc doc;
            doc.InsertEmployee("0000000000000001", CEmpRecord{"\xA3ukasz", "\xAF\xF3\xB3\xE6"});
            QVERIFY(CWorkspaceFile::Save(doc, file).ok);
        }
        auto app = makeApp({file});
        QVERIFY(app->InitInstance());
        auto* panes = qobject_cast<CMainPanes*>(app->mainFrame()->panes());
        QVERIFY(panes);
        const QAbstractItemModel* model = panes->empView()->model();
        QCOMPARE(model->rowCount(), 1);
        QStringList row;
        for (int c = 0; c < model->columnCount(); ++c)
            row << model->index(0, c).data().toString();
        QVERIFY2(row.contains(QStringLiteral("\u0141ukasz")), qPrintable(row.join(u'|')));
        QVERIFY2(row.contains(QStringLiteral("\u017B\u00F3\u0142\u0107")),
                 qPrintable(row.join(u'|')));
        exitThroughFileExit(*app);
        app->ExitInstance();
    }

    // Both are told; the photo look-up is switched off and saved at once, reporting stays on
    // for its queue to wait out the database.
    void photoFailureSwitchesOffReportingStaysOn() {
        setStored(QStringLiteral("Settings/UseMRDB"), 1);
        setStored(QStringLiteral("Settings/MRDB"),
                  TestWorld::instance()->sqliteConnection(QStringLiteral("missing/reports.db")));
        setStored(QStringLiteral("Settings/UsePhoto"), 1);
        setStored(QStringLiteral("Settings/ShowPhoto"), 1);
        setStored(QStringLiteral("Settings/PhotoDB"),
                  QStringLiteral("Driver=NoSuchDriver;Database=x"));
        QStringList storedAtMessage;
        prompts.onStop = [&](const QString&) {
            storedAtMessage << store()->value(QStringLiteral("Settings/UsePhoto")).toString();
        };
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        QCOMPARE(prompts.stops.size(), 2);
        QVERIFY(prompts.stops[0].startsWith(
            QStringLiteral("Unable to open MorrowReports database.\n\nError: ")));
        QVERIFY(prompts.stops[0].size() >
                int(strlen("Unable to open MorrowReports database.\n\nError: ")));
        QVERIFY(prompts.stops[1].startsWith(
            QStringLiteral("Unable to open photo database.\n\nError: ")));
        // The photo look-up is off in the store right after its message, before the program
        // exits.
        auto s = store();
        QCOMPARE(s->value(QStringLiteral("Settings/UseMRDB")).toInt(), 1);
        QCOMPARE(s->value(QStringLiteral("Settings/UsePhoto")).toInt(), 0);
        QCOMPARE(storedAtMessage, QStringList({"1", "1"}));
        QVERIFY(CAppSettings::instance().UseMRDB && !CAppSettings::instance().UsePhoto);
        QVERIFY(app->reporting()->running());
        // With the photo lookup off, Toggle photograph is disabled and ShowPhoto falls to off.
        const CCmdUI photo = app->mainFrame()->commands().query(res::ID_VIEW_PHOTO);
        QVERIFY(!photo.enabled());
        QVERIFY(!photo.checked());
        exitThroughFileExit(*app);
        app->ExitInstance();
        QCOMPARE(store()->value(QStringLiteral("Settings/ShowPhoto")).toInt(), 0);
    }

    void databasesThatOpenStayOpen() {
        const QString file = TestWorld::instance()->path(QStringLiteral("reports.db"));
        QFile(file).open(QIODevice::WriteOnly);
        setStored(QStringLiteral("Settings/UseMRDB"), 1);
        setStored(QStringLiteral("Settings/MRDB"),
                  TestWorld::instance()->sqliteConnection(QStringLiteral("reports.db")));
        setStored(QStringLiteral("Settings/UsePhoto"), 1);
        setStored(QStringLiteral("Settings/ShowPhoto"), 1);
        setStored(QStringLiteral("Settings/PhotoDB"),
                  TestWorld::instance()->sqliteConnection(QStringLiteral("reports.db")));
        setStored(QStringLiteral("Settings/VisualStyle"), 1);
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        QVERIFY2(prompts.stops.isEmpty(), qPrintable(prompts.stops.join(QLatin1Char('\n'))));
        QVERIFY(app->reportingDatabase()->IsOpen());
        QVERIFY(app->photoDatabase()->IsOpen());
        QVERIFY(app->photoWindow()->isVisible());
        QCOMPARE(CSkin::current(), 1);
        const CCmdUI photo = app->mainFrame()->commands().query(res::ID_VIEW_PHOTO);
        QVERIFY(photo.enabled() && photo.checked());
        QVERIFY(app->mainFrame()->commands().execute(res::ID_VIEW_PHOTO));
        QVERIFY(!app->photoWindow()->isVisible());
        exitThroughFileExit(*app);
        app->ExitInstance();
        QCOMPARE(store()->value(QStringLiteral("Settings/ShowPhoto")).toInt(), 0);
        QCOMPARE(store()->value(QStringLiteral("Settings/UseMRDB")).toInt(), 1);
    }

    void unreadableCommandLineFileEndsTheStart() {
        setStored(QStringLiteral("Settings/Placement"), QByteArray("keep"));
        auto app = makeApp({TestWorld::instance()->path(QStringLiteral("absent.VR-12"))});
        QVERIFY(!app->InitInstance());
        QCOMPARE(prompts.stops.size(), 1);
        QCOMPARE(app->trace().last(), QStringLiteral("ProcessShellCommand"));
        QVERIFY(!app->mainFrame()->isVisible());
        app->ExitInstance();
        QVERIFY(app->trace().contains(QStringLiteral("SaveSettings")));
        // The window was never shown: its placement of an earlier run stays.
        QCOMPARE(store()->value(QStringLiteral("Settings/Placement")).toByteArray(),
                 QByteArray("keep"));
    }

    void commandLineFileOpensAndPlacementApplies() {
        const QString file = TestWorld::instance()->path(QStringLiteral("start.VR-12"));
        {
            CTarvexDoc doc;
            doc.InsertEmployee("00000000000000AA", CEmpRecord{"Last", "First"});
            QVERIFY(CWorkspaceFile::Save(doc, file).ok);
        }
        // Written before the program starts: the program's workspace must stay the only one.
        const QString dropped = TestWorld::instance()->path(QStringLiteral("dropped.VR-12"));
        {
            CTarvexDoc doc;
            doc.InsertEmployee("00000000000000BB", CEmpRecord{"L", "F"});
            doc.InsertEmployee("00000000000000CC", CEmpRecord{"L", "F"});
            CTermRecord controller;
            controller.Name = "Door";
            controller.IdTable["00000000000000BB"] = "00";
            doc.InsertController(200, controller);
            QVERIFY(CWorkspaceFile::Save(doc, dropped).ok);
        }
        CWindowPlacement p;
        p.setNormalRect(QRect(40, 50, 700, 500));
        setStored(QStringLiteral("Settings/Placement"), p.toBytes());
        auto app = makeApp({QStringLiteral("-style=x"), file});
        QVERIFY(app->InitInstance());
        QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("start.VR-12 - Tarvex"));
        QCOMPARE(app->document()->Employees().size(), size_t(1));
        QVERIFY(!app->document()->IsModified());
        QCOMPARE(app->mainFrame()->geometry().size(), QSize(700, 500));
        QCOMPARE(app->recentFiles().files().value(0), file);
        // A workspace dropped onto the window replaces the open one.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(dropped)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(app->mainFrame(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app->mainFrame(), &drop);
        QCOMPARE(app->document()->Employees().size(), size_t(2));
        QCOMPARE(app->document()->Controllers().size(), size_t(1));
        QVERIFY(app->document()->Controllers().at(200).Panel != nullptr);
        QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("dropped.VR-12 - Tarvex"));

        app->mainFrame()->setGeometry(60, 70, 640, 480);
        exitThroughFileExit(*app);
        app->ExitInstance();
        const auto back = CWindowPlacement::fromBytes(
            store()->value(QStringLiteral("Settings/Placement")).toByteArray());
        QVERIFY(back);
        QCOMPARE(back->normalRect().size(), QSize(640, 480));
        QCOMPARE(back->showCmd, CWindowPlacement::SW_SHOWNORMAL);
        QCOMPARE(store()->value(QStringLiteral("Recent File List/File1")).toString(), dropped);
        QCOMPARE(store()->value(QStringLiteral("Recent File List/File2")).toString(), file);
    }

    void enablingOfTheProgramsOwnCommands() {
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        CCommandManager& commands = app->mainFrame()->commands();
        commands.updateAll();
        for (int id : {res::ID_FILE_NEW, res::ID_FILE_OPEN, res::ID_FILE_SAVE, res::ID_FILE_SAVE_AS,
                       res::ID_APP_EXIT, res::ID_APP_ABOUT, res::ID_VIEW_SETTINGS,
                       res::ID_VIEW_TOOLBAR, res::ID_VIEW_STATUS_BAR, res::ID_RESTORE_MAIN})
            QVERIFY2(commands.action(id)->isEnabled(), qPrintable(QString::number(id)));
        // No language modules, no photo lookup, no recent files.
        for (int id : {res::ID_VIEW_LANGUAGES, res::ID_VIEW_PHOTO, res::ID_FILE_MRU_FILE1})
            QVERIFY2(!commands.action(id)->isEnabled(), qPrintable(QString::number(id)));
        QVERIFY(commands.action(res::ID_VIEW_TOOLBAR)->isChecked() &&
                commands.action(res::ID_VIEW_STATUS_BAR)->isChecked());

        int settingsRuns = 0;
        app->setSettingsCommand([&] { ++settingsRuns; });
        QVERIFY(commands.execute(res::ID_VIEW_SETTINGS));
        QCOMPARE(settingsRuns, 1);

        // The About box shows 3.0.0 and (Build 5).
        QString version, build, caption;
        QTimer::singleShot(0, [&] {
            if (auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
                version = about->versionText();
                build = about->buildText();
                caption = about->windowTitle();
                about->accept();
            }
        });
        QVERIFY(commands.execute(res::ID_APP_ABOUT));
        QCOMPARE(caption, QStringLiteral("About Tarvex"));
        QCOMPARE(version, QStringLiteral("3.0.0"));
        QCOMPARE(build, QStringLiteral("(Build 5)"));

        // Save As from the menu writes the workspace and names the window after the file.
        const QString file = TestWorld::instance()->path(QStringLiteral("menu"));
        prompts.saveNames = {file};
        QVERIFY(commands.execute(res::ID_FILE_SAVE_AS));
        QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("menu.VR-12 - Tarvex"));
        QCOMPARE(fileBytes(file + QStringLiteral(".VR-12")).size(), 19);
        commands.updateAll();
        QVERIFY(commands.action(res::ID_FILE_MRU_FILE1)->isEnabled());
        QCOMPARE(commands.action(res::ID_FILE_MRU_FILE1)->text(),
                 QStringLiteral("&1 ") + file + QStringLiteral(".VR-12"));
        exitThroughFileExit(*app);
        app->ExitInstance();
    }

    void registrationsFolderOutsideAFolderNotWritable() {
        CTarvexApp app;
        app.setProgramFolder(TestWorld::instance()->path(QStringLiteral("not-there/")));
        const QString expected = TestWorld::instance()->dataDir() + QStringLiteral("/Tarvex");
        QCOMPARE(app.defaultRegFilePath(), expected);
        QVERIFY(QFileInfo(expected).isDir());
        app.setProgramFolder(programFolder() + QStringLiteral("/"));
        QCOMPARE(app.defaultRegFilePath(), programFolder());
    }

    void visualStylesSwitchAtRunTime() {
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        QString sheets[3];
        for (int style = 0; style < 3; ++style) {
            CSkin::apply(style);
            QCOMPARE(CSkin::current(), style);
            sheets[style] = qApp->styleSheet();
        }
        QVERIFY(sheets[0] != sheets[1] && sheets[1] != sheets[2] && sheets[0] != sheets[2]);
        // An empty application sheet frees the platform style under it; a later program start
        // in the same process then crashed.
        for (const QString& sheet : sheets)
            QVERIFY(!sheet.isEmpty());
        CSkin::apply(7);
        QCOMPARE(CSkin::current(), 0);
        QCOMPARE(qApp->styleSheet(), sheets[0]);
        exitThroughFileExit(*app);
        app->ExitInstance();
    }

    void firstWindowIsCentredAtASensibleSize() {
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        CMainFrame* frame = app->mainFrame();
        const QRect avail = frame->screen()->availableGeometry();
        const QRect g = frame->geometry();
        QVERIFY2(g.width() >= std::min(1000, avail.width()) &&
                     g.height() >= std::min(700, avail.height()),
                 qPrintable(QStringLiteral("%1x%2").arg(g.width()).arg(g.height())));
        QVERIFY(avail.contains(g));
        QVERIFY(std::abs(g.center().x() - avail.center().x()) <= 1);
        QVERIFY(std::abs(g.center().y() - avail.center().y()) <= 1);
        exitThroughFileExit(*app);
        app->ExitInstance();
    }

    void maximisedWindowHiddenAtExitComesBackMaximised() {
        CWindowPlacement p;
        p.setNormalRect(QRect(40, 50, 500, 400));
        setStored(QStringLiteral("Settings/Placement"), p.toBytes());
        {
            auto app = makeApp();
            QVERIFY(app->InitInstance());
            app->mainFrame()->showMaximized();
            QVERIFY(!app->mainFrame()->close()); // the close box: minimised (hidden on a tray)
            app->mainFrame()->hide();
            QVERIFY(app->mainFrame()->isMinimized());
            exitThroughFileExit(*app);
            app->ExitInstance();
        }
        const auto stored = CWindowPlacement::fromBytes(
            store()->value(QStringLiteral("Settings/Placement")).toByteArray());
        QVERIFY(stored);
        QCOMPARE(stored->showCmd, CWindowPlacement::SW_SHOWMINIMIZED);
        QVERIFY(stored->restoresToMaximised());
        QCOMPARE(stored->normalRect().size(), QSize(500, 400));
        {
            auto app = makeApp();
            QVERIFY(app->InitInstance());
            QVERIFY(app->mainFrame()->isVisible());
            QVERIFY(app->mainFrame()->isMaximized());
            QVERIFY(!app->mainFrame()->isMinimized());
            // Back to normal, it has the size it had before it was maximised.
            app->mainFrame()->showNormal();
            QTRY_COMPARE(app->mainFrame()->geometry().size(), QSize(500, 400));
            // Minimised from normal: it comes back normal.
            app->mainFrame()->showMinimized();
            exitThroughFileExit(*app);
            app->ExitInstance();
        }
        const auto normal = CWindowPlacement::fromBytes(
            store()->value(QStringLiteral("Settings/Placement")).toByteArray());
        QVERIFY(normal && !normal->restoresToMaximised());
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        QVERIFY(app->mainFrame()->isVisible() && !app->mainFrame()->isMaximized() &&
                !app->mainFrame()->isMinimized());
        exitThroughFileExit(*app);
        app->ExitInstance();
    }

    // View, Registrations history... opens one window beside the main window on the
    // registrations folder; Show employee selects the person in the employees list.
    void historyWindowFromTheViewMenuShowsTheEmployee() {
        const QString file =
            oneEmployeeWorkspace(QStringLiteral("history"), QStringLiteral("site.VR-12"),
                                 "00000000000000A1", {"Meier", "Anna"});
        QVERIFY(!file.isEmpty());
        QFile regs(programFolder() + QStringLiteral("/TarvexRegs-2025-05.txt"));
        QVERIFY(regs.open(QIODevice::WriteOnly));
        regs.write("2025-05-05 07:59:00,+OK,,,COM1\r\n"
                   "2025-05-05 08:00:00,X00000000000000A1,,00000000000000A1,COM1\r\n");
        regs.close();
        auto app = makeApp({file});
        QVERIFY(app->InitInstance());
        CCommandManager& commands = app->mainFrame()->commands();
        commands.updateAll();
        QVERIFY(commands.action(res::ID_VIEW_HISTORY)->isEnabled());
        QVERIFY(commands.execute(res::ID_VIEW_HISTORY));
        QPointer<CHistoryWindow> window;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* h = qobject_cast<CHistoryWindow*>(w))
                window = h;
        }
        QVERIFY(window);
        QVERIFY(window->isVisible() && !window->isModal());
        QVERIFY(app->mainFrame()->isVisible());
        QCOMPARE(window->historyModel()->rowCount(), 2);
        QCOMPARE(window->historyModel()->index(1, CHistoryModel::LastName).data().toString(),
                 QStringLiteral("Meier"));
        // Opened again: the same window.
        QVERIFY(commands.execute(res::ID_VIEW_HISTORY));
        QCOMPARE(window->historyModel()->rowCount(), 2);

        CEmpView* employees = app->mainFrame()->panes()->empView();
        employees->clearRowSelection();
        auto* table = window->findChild<QTableView*>(QStringLiteral("RegistrationsTable"));
        table->setCurrentIndex(table->model()->index(1, 0));
        // Show employee, then Add as employee for unknown media.
        QCOMPARE(window->rowActions().size(), 2);
        QVERIFY(!window->rowActions()[1]->isEnabled());
        window->rowActions()[0]->trigger();
        QCOMPARE(employees->selectedRows(), QList<int>({0}));

        exitThroughFileExit(*app);
        QVERIFY(!window);
    }

    void exitCanBeCancelledAndCloseBoxOnlyMinimises() {
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        app->document()->InsertEmployee("0000000000000001", CEmpRecord{"A", "B"});
        app->document()->SetModifiedFlag(true);
        prompts.saveAnswers = {IUserPrompts::Cancel};
        QVERIFY(!app->Exit());
        QCOMPARE(prompts.asked.size(), 1);
        QVERIFY(app->mainFrame() != nullptr);
        QVERIFY(!app->mainFrame()->close());
        QVERIFY(app->mainFrame() != nullptr);
        QVERIFY(app->mainFrame()->isMinimized());
        prompts.saveAnswers = {IUserPrompts::No};
        exitThroughFileExit(*app);
        app->ExitInstance();
    }
};

TARVEX_TEST_MAIN(TestTarvexApp)
#include "tst_tarvexapp.moc"

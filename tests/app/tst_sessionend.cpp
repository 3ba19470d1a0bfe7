// The ends of a run other than a plain File Exit: Qt's quit, the session manager's commit at
// log-out, SIGTERM and SIGHUP, the recovery copy they leave and the next start's offer of it,
// and an Exit that meets open modal dialogs or a second Exit.
#include "appsettings.h"
#include "documentflow.h"
#include "mainframe.h"
#include "recoverycopy.h"
#include "scriptedprompts.h"
#include "sessionend.h"
#include "tarvexapp.h"
#include "tarvexdoc.h"
#include "testapp.h"
#include "testworld.h"
#include "workspacefile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSessionManager>
#include <QSettings>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The save prompt as the desktop runs it: a modal dialog owned by the main window, with a
// nested event loop. While it is open, `during` runs inside that loop.
class DialogPrompts : public ScriptedPrompts {
public:
    std::function<void()> during;
    int dialogs = 0;

    Answer askSaveChanges(const QString& text) override {
        if (!during)
            return ScriptedPrompts::askSaveChanges(text);
        ++dialogs;
        std::function<void()> act = std::move(during);
        during = nullptr;
        QDialog box(CMainFrame::Instance());
        QTimer::singleShot(0, &box, [&] { act(); });
        // Answered a little later, as a person would: the events of the meantime run inside
        // the dialog's loop.
        QTimer::singleShot(100, &box, &QDialog::accept);
        box.exec();
        return ScriptedPrompts::askSaveChanges(text);
    }
};
} // namespace

class TestSessionEnd : public QObject {
    Q_OBJECT

    DialogPrompts prompts;

    QString programFolder() { return TestWorld::instance()->path(QStringLiteral("program")); }
    QString copyFolder() { return TestWorld::instance()->dataDir() + QStringLiteral("/Tarvex"); }

    std::unique_ptr<QSettings> store() { return CAppSettings::openStore(); }

    std::unique_ptr<CTarvexApp> makeApp(const QStringList& args = {}) {
        return makeTestApp(programFolder(), prompts, args);
    }

    // A saved workspace with one employee.
    QString savedWorkspace(const QString& name) {
        const QString file = TestWorld::instance()->path(name);
        CTarvexDoc doc;
        doc.InsertEmployee("00000000000000AA", CEmpRecord{"Saved", "One"});
        if (!CWorkspaceFile::Save(doc, file).ok)
            return QString();
        return file;
    }

    static void modify(CTarvexApp& app) {
        app.document()->InsertEmployee("00000000000000BB", CEmpRecord{"Unsaved", "Two"});
        app.document()->SetModifiedFlag(true);
    }

    // Runs the program's own loop (InitInstance, exec, ExitInstance); `script` runs once the
    // loop is up. A loop that does not end within 20 s is ended with 99.
    static int runWith(CTarvexApp& app, std::function<void()> script) {
        QPointer<QTimer> poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, poll, [&app, poll, script] {
            if (QThread::currentThread()->loopLevel() < 1 || !app.mainFrame())
                return;
            poll->stop();
            poll->deleteLater();
            script();
        });
        poll->start();
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(20000);
        const int code = app.run();
        delete poll.data();
        return code;
    }

private slots:
    void init() {
        QDir().mkpath(programFolder());
        auto s = store();
        s->clear();
        s->sync();
        CRecoveryCopy(copyFolder()).discard();
        prompts = DialogPrompts();
    }

    // Qt's quit (the desktop's end of the session, the platform's quit) runs File Exit's
    // course: the prompt, whose Cancel keeps the program running, then the end of the loop.
    void quitRunsTheNormalExit() {
        auto app = makeApp();
        bool stillRunningAfterCancel = false;
        const int code = runWith(*app, [&] {
            modify(*app);
            prompts.saveAnswers = {IUserPrompts::Cancel, IUserPrompts::No};
            QCoreApplication::quit();
            QTimer::singleShot(50, [&] {
                stillRunningAfterCancel = app->mainFrame() && app->mainFrame()->isVisible();
                QCoreApplication::quit();
            });
        });
        QCOMPARE(code, 0);
        QVERIFY(stillRunningAfterCancel);
        QCOMPARE(prompts.asked.size(), 2);
        QVERIFY(app->mainFrame() == nullptr);
        QCOMPARE(app->trace().count(QStringLiteral("CloseWorkspace")), 1);
        QVERIFY(!CRecoveryCopy(copyFolder()).exists());
    }

    // SIGTERM: no question; the settings are written, the workspace's file stays as it was,
    // the unsaved workspace goes to a recovery copy, and the next start offers it back as an
    // unsaved workspace that names its file but does not save over it unasked.
    void terminationKeepsARecoveryCopyThatTheNextStartOffers() {
        const QString file = savedWorkspace(QStringLiteral("door.VR-12"));
        QVERIFY(!file.isEmpty());
        const QByteArray fileBytes = readAll(file);
        const QDateTime fileTime = QFileInfo(file).lastModified();
        {
            auto app = makeApp({file});
            const int code = runWith(*app, [&] {
                modify(*app);
                CAppSettings::instance().ImportFile = QStringLiteral("from-this-run.csv");
                ::raise(SIGTERM);
            });
            QCOMPARE(code, 0);
            QVERIFY(prompts.asked.isEmpty());
            QVERIFY(app->trace().contains(QStringLiteral("ExitWithoutPrompt")));
        }
        QCOMPARE(store()->value(QStringLiteral("Settings/ImportFile")).toString(),
                 QStringLiteral("from-this-run.csv"));
        QCOMPARE(store()->value(QStringLiteral("Settings/Placement")).toByteArray().size(), 44);
        QCOMPARE(readAll(file), fileBytes);
        QCOMPARE(QFileInfo(file).lastModified(), fileTime);
        const CRecoveryCopy copy(copyFolder());
        QVERIFY(copy.exists());
        QCOMPARE(copy.originalPath(), QFileInfo(file).absoluteFilePath());

        // The next start asks, and Yes brings the unsaved workspace back.
        prompts = DialogPrompts();
        prompts.yesNoAnswers = {IUserPrompts::Yes};
        auto next = makeApp();
        QVERIFY(next->InitInstance());
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY2(prompts.questions[0].contains(QStringLiteral("door.VR-12")),
                 qPrintable(prompts.questions[0]));
        QCOMPARE(next->document()->Employees().size(), size_t(2));
        QVERIFY(next->document()->Employees().count("00000000000000BB"));
        QVERIFY(next->document()->IsModified());
        QCOMPARE(next->mainFrame()->windowTitle(), QStringLiteral("door.VR-12 - Tarvex"));
        QVERIFY(!copy.exists());
        // Save goes through Save As, which suggests the original file; the file is unchanged.
        QVERIFY(next->mainFrame()->commands().execute(57603));
        QCOMPARE(prompts.lastSuggested, QFileInfo(file).absoluteFilePath());
        QCOMPARE(readAll(file), fileBytes);
        QVERIFY(next->document()->IsModified());
        // The restored workspace still goes through the save prompt at Exit.
        prompts.saveAnswers = {IUserPrompts::No};
        QVERIFY(next->Exit());
        QTRY_VERIFY(next->mainFrame() == nullptr);
        next->ExitInstance();
        QVERIFY2(prompts.asked.value(0).contains(QStringLiteral("door.VR-12")),
                 qPrintable(prompts.asked.value(0)));
        QVERIFY(!copy.exists());
    }

    // SIGHUP (the terminal or the session going away) ends the same way; an untitled
    // workspace comes back untitled, and No at the next start throws the copy away.
    void hangUpKeepsAnUntitledCopyThatNoDiscards() {
        {
            auto app = makeApp();
            const int code = runWith(*app, [&] {
                modify(*app);
                ::raise(SIGHUP);
            });
            QCOMPARE(code, 0);
        }
        const CRecoveryCopy copy(copyFolder());
        QVERIFY(copy.exists());
        QCOMPARE(copy.originalPath(), QString());

        prompts.yesNoAnswers = {IUserPrompts::No};
        auto next = makeApp();
        QVERIFY(next->InitInstance());
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY2(prompts.questions[0].contains(QStringLiteral("New")),
                 qPrintable(prompts.questions[0]));
        QVERIFY(!copy.exists());
        QVERIFY(next->document()->Employees().empty());
        QVERIFY(!next->document()->IsModified());
        QVERIFY(next->Exit());
        QTRY_VERIFY(next->mainFrame() == nullptr);
        next.reset();

        // Nothing left: the start after that asks nothing.
        prompts = DialogPrompts();
        auto third = makeApp();
        QVERIFY(third->InitInstance());
        QVERIFY(prompts.questions.isEmpty());
        QVERIFY(third->Exit());
        QTRY_VERIFY(third->mainFrame() == nullptr);
    }

    // The session manager's commit without interaction (the offscreen platform grants none):
    // settings and the recovery copy are written at once, the program keeps running, and the
    // end of the session that follows asks nothing.
    void logOutWithoutInteraction() {
        const QString file = savedWorkspace(QStringLiteral("desk.VR-12"));
        const QByteArray fileBytes = readAll(file);
        auto app = makeApp({file});
        QSessionManager* manager = qApp->findChild<QSessionManager*>();
        QVERIFY(manager);
        const int code = runWith(*app, [&] {
            modify(*app);
            CAppSettings::instance().ImportFile = QStringLiteral("before-log-out.csv");
            emit qApp->commitDataRequest(*manager);
            QVERIFY(CRecoveryCopy(copyFolder()).exists());
            QCOMPARE(store()->value(QStringLiteral("Settings/ImportFile")).toString(),
                     QStringLiteral("before-log-out.csv"));
            QCOMPARE(store()->value(QStringLiteral("Settings/Placement")).toByteArray().size(), 44);
            QVERIFY(app->mainFrame() && !app->exitUnderWay());
            QCoreApplication::quit();
        });
        QCOMPARE(code, 0);
        QVERIFY(prompts.asked.isEmpty());
        QCOMPARE(readAll(file), fileBytes);
        QVERIFY(CRecoveryCopy(copyFolder()).exists());
    }

    // With interaction the commit asks: Cancel keeps the session from ending, No lets it end
    // without a copy. A copy kept by an earlier commit goes once File Exit has decided.
    void logOutWithInteraction() {
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        modify(*app);
        CSessionEnd* session = app->sessionEnd();
        QVERIFY(session);

        QVERIFY(session->CommitSession(false));
        QVERIFY(CRecoveryCopy(copyFolder()).exists());

        prompts.saveAnswers = {IUserPrompts::Cancel};
        QVERIFY(!session->CommitSession(true));
        QVERIFY(app->document()->IsModified());

        prompts.saveAnswers = {IUserPrompts::No};
        QVERIFY(session->CommitSession(true));
        QCOMPARE(prompts.asked.size(), 2);
        QVERIFY(!CRecoveryCopy(copyFolder()).exists());

        // The log-out was called off elsewhere: work goes on, and File Exit asks again.
        modify(*app);
        QVERIFY(session->CommitSession(false));
        QVERIFY(CRecoveryCopy(copyFolder()).exists());
        prompts.saveAnswers = {IUserPrompts::No};
        QVERIFY(app->Exit());
        QCOMPARE(prompts.asked.size(), 3);
        QVERIFY(!CRecoveryCopy(copyFolder()).exists());
        QTRY_VERIFY(app->mainFrame() == nullptr);
        app->ExitInstance();
    }

    // A second Exit while the first one's save prompt is open is refused; the first one ends
    // the program once, after its prompt has returned.
    void secondExitWhileThePromptIsOpen() {
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        modify(*app);
        bool secondRefused = false;
        prompts.during = [&] {
            secondRefused = !app->Exit();
            QVERIFY(app->mainFrame()->commands().execute(57665));
        };
        prompts.saveAnswers = {IUserPrompts::No, IUserPrompts::No, IUserPrompts::No};
        QVERIFY(app->Exit());
        QCOMPARE(prompts.dialogs, 1);
        QVERIFY(secondRefused);
        QCOMPARE(prompts.asked.size(), 1);
        QTRY_VERIFY(app->mainFrame() == nullptr);
        QCOMPARE(app->trace().count(QStringLiteral("CloseWorkspace")), 1);
        app->ExitInstance();
    }

    // Exit while a modal dialog of the main window runs (the tray menu stays usable): the
    // dialog is closed as cancelled, and the window goes only after the dialog's loop has
    // returned. Also with the save prompt between the two.
    void exitWhileAModalDialogRuns() {
        for (const bool modified : {false, true}) {
            auto app = makeApp();
            QVERIFY(app->InitInstance());
            if (modified)
                modify(*app);
            prompts.saveAnswers = {IUserPrompts::No};
            int result = -1;
            bool frameDuringDialog = false;
            {
                QDialog dialog(app->mainFrame());
                QTimer::singleShot(0, &dialog,
                                   [&] { QVERIFY(app->mainFrame()->commands().execute(57665)); });
                result = dialog.exec();
                frameDuringDialog = app->mainFrame() != nullptr;
            }
            QCOMPARE(result, int(QDialog::Rejected));
            QVERIFY(frameDuringDialog);
            QCOMPARE(prompts.asked.size(), modified ? 1 : 0);
            QTRY_VERIFY(app->mainFrame() == nullptr);
            app->ExitInstance();
            prompts = DialogPrompts();
        }

        // A message box of the frame, closed the same way.
        auto app = makeApp();
        QVERIFY(app->InitInstance());
        QMessageBox::StandardButton answer = QMessageBox::Yes;
        QTimer::singleShot(0, app.get(),
                           [&] { QVERIFY(app->mainFrame()->commands().execute(57665)); });
        answer = QMessageBox::question(app->mainFrame(), QStringLiteral("t"), QStringLiteral("q"),
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        QVERIFY(answer != QMessageBox::Yes);
        QVERIFY(app->mainFrame() != nullptr);
        QTRY_VERIFY(app->mainFrame() == nullptr);
        app->ExitInstance();
    }

    // A copy is offered only when complete; one that cannot be read is reported once and
    // not offered again; one that cannot be written leaves nothing behind.
    void recoveryCopyIsCompleteOrAbsent() {
        CRecoveryCopy copy(copyFolder());
        CTarvexDoc doc;
        doc.InsertEmployee("00000000000000CC", CEmpRecord{"Copy", "Three"});
        QVERIFY(copy.write(doc, QStringLiteral("/somewhere/gate.VR-12")));
        QVERIFY(copy.exists());
        QCOMPARE(copy.originalPath(), QStringLiteral("/somewhere/gate.VR-12"));
        QVERIFY(QFile::remove(copy.notePath()));
        QVERIFY(!copy.exists());

        {
            auto app = makeApp();
            QVERIFY(app->InitInstance());
            QVERIFY(prompts.questions.isEmpty());
            QVERIFY(app->Exit());
            QTRY_VERIFY(app->mainFrame() == nullptr);
        }

        QVERIFY(copy.write(doc, QString()));
        {
            QFile damaged(copy.workspacePath());
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write(QByteArray("\x0c\0\0\0Tarvex", 10));
        }
        prompts.yesNoAnswers = {IUserPrompts::Yes};
        {
            auto app = makeApp();
            QVERIFY(app->InitInstance());
            QCOMPARE(prompts.questions.size(), 1);
            QCOMPARE(prompts.stops.size(), 1);
            QVERIFY(app->document()->Employees().empty());
            QVERIFY(!app->document()->IsModified());
            QVERIFY(!copy.exists() && !QFile::exists(copy.workspacePath()));
            QVERIFY(app->Exit());
            QTRY_VERIFY(app->mainFrame() == nullptr);
        }

        // A folder that is a file: nothing can be written into it, not even by root.
        const QString notAFolder = TestWorld::instance()->path(QStringLiteral("not-a-folder"));
        QFile(notAFolder).open(QIODevice::WriteOnly);
        CRecoveryCopy unwritable(notAFolder);
        QString reason;
        QVERIFY(!unwritable.write(doc, QString(), &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(!unwritable.exists());
        QCOMPARE(QFileInfo(notAFolder).size(), 0);
    }

    // The desktop's own question box: closed unanswered it keeps the copy for the next start;
    // its No button deletes it.
    void recoveryQuestionBoxOfTheDesktop() {
        CRecoveryCopy copy(copyFolder());
        CTarvexDoc doc;
        QVERIFY(copy.write(doc, QString()));
        // The folder holds no language module: the language warning would come first.
        store()->setValue(QStringLiteral("Settings/LangWarning"), 0);
        for (const bool answer : {false, true}) {
            QString shown;
            QTimer poll;
            connect(&poll, &QTimer::timeout, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                poll.stop();
                shown = box->text();
                if (answer)
                    box->button(QMessageBox::No)->click();
                else
                    box->reject();
            });
            poll.start(10);
            auto app = std::make_unique<CTarvexApp>();
            app->setProgramFolder(programFolder());
            app->setArguments({});
            QVERIFY(app->InitInstance());
            QCOMPARE(shown, QStringLiteral("Tarvex was ended before the changes to New were "
                                           "saved.\n\nRestore the unsaved workspace?"));
            QCOMPARE(copy.exists(), !answer);
            QVERIFY(app->Exit());
            QTRY_VERIFY(app->mainFrame() == nullptr);
        }
    }

    // The program itself ends cleanly on SIGTERM: exit code 0 and the window state written.
    void terminatedProgramEndsCleanly() {
        QProcess program;
        program.setProgram(qEnvironmentVariable("TARVEX_BINARY_DIR") +
                           QStringLiteral("/bin/tarvex"));
        program.start();
        QVERIFY(program.waitForStarted(20000));
        // Ready once it catches SIGTERM (the handler is installed at the end of the start).
        const QString status = QStringLiteral("/proc/%1/status").arg(program.processId());
        const auto catchesTerm = [&] {
            for (const QByteArray& line : readAll(status).split('\n'))
                if (line.startsWith("SigCgt:"))
                    return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
            return 0ULL;
        };
        QTRY_VERIFY_WITH_TIMEOUT(catchesTerm() || program.state() != QProcess::Running, 30000);
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(store()->value(QStringLiteral("Settings/Placement")).toByteArray().size(), 44);
        QVERIFY(!CRecoveryCopy(copyFolder()).exists());
    }
};

TARVEX_TEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"

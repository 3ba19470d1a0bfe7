// New, Open, Save and Save As of the workspace with their prompts and failure rules.
#include "cmdui.h"
#include "documentflow.h"
#include "recentfiles.h"
#include "resourceids.h"
#include "scriptedprompts.h"
#include "tarvexdoc.h"
#include "testfiles.h"
#include "testworld.h"
#include "workspacefile.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <sys/stat.h>

class TestDocumentFlow : public QObject {
    Q_OBJECT

    std::unique_ptr<CTarvexDoc> doc;
    std::unique_ptr<CRecentFileList> recent;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<CDocumentFlow> flow;

    void addEmployee(const char* id, const char* last) {
        doc->InsertEmployee(id, CEmpRecord{last, "First"});
        doc->SetModifiedFlag(true);
    }
    QString path(const char* name) {
        return TestWorld::instance()->path(QString::fromLatin1(name));
    }

    // A saved workspace with two employees.
    QString savedWorkspace(const char* name) {
        addEmployee("0000000000000001", "One");
        addEmployee("0000000000000002", "Two");
        const QString p = path(name);
        [&] { QVERIFY(flow->DoSave(p)); }();
        return p;
    }

private slots:
    void init() {
        doc = std::make_unique<CTarvexDoc>();
        recent = std::make_unique<CRecentFileList>();
        prompts = std::make_unique<ScriptedPrompts>();
        flow = std::make_unique<CDocumentFlow>(*doc, *recent, *prompts);
        QVERIFY(flow->OnFileNew());
    }
    void cleanup() {
        flow.reset();
        doc.reset();
    }

    void newWorkspaceIsUntitledAndClean() {
        QCOMPARE(flow->title(), QStringLiteral("New"));
        QVERIFY(flow->pathName().isEmpty());
        QVERIFY(!doc->IsModified());
        QVERIFY(prompts->asked.isEmpty());
    }

    void savePromptOnNew() {
        addEmployee("0000000000000001", "One");
        // Cancel keeps everything.
        prompts->saveAnswers = {IUserPrompts::Cancel};
        QVERIFY(!flow->OnFileNew());
        QCOMPARE(prompts->asked, QStringList({"Save changes to New?"}));
        QCOMPARE(doc->Employees().size(), size_t(1));
        QVERIFY(doc->IsModified());
        // Yes on an untitled workspace asks for a name; cancelling that keeps everything too.
        prompts->saveAnswers = {IUserPrompts::Yes};
        QVERIFY(!flow->OnFileNew());
        QCOMPARE(prompts->lastSuggested, QStringLiteral("Tarvex.VR-12"));
        QCOMPARE(doc->Employees().size(), size_t(1));
        // No discards.
        prompts->saveAnswers = {IUserPrompts::No};
        QVERIFY(flow->OnFileNew());
        QVERIFY(doc->Employees().empty());
        QVERIFY(!doc->IsModified());
    }

    void yesSavesBeforeNew() {
        addEmployee("0000000000000001", "One");
        prompts->saveAnswers = {IUserPrompts::Yes};
        prompts->saveNames = {path("yes")}; // no extension typed
        QVERIFY(flow->OnFileNew());
        QVERIFY(QFile::exists(path("yes.VR-12")));
        QCOMPARE(fileBytes(path("yes.VR-12")).size(), 19 + 17 + 6 + 4);
        QCOMPARE(flow->title(), QStringLiteral("New"));
        QCOMPARE(recent->files().value(0), path("yes.VR-12"));
    }

    void saveAndOpenRoundTrip() {
        const QString p = savedWorkspace("round.VR-12");
        QVERIFY(!doc->IsModified());
        QCOMPARE(flow->title(), QStringLiteral("round.VR-12"));
        QSignalSpy reset(flow.get(), &CDocumentFlow::documentReset);
        QVERIFY(flow->OnFileNew());
        QVERIFY(doc->Employees().empty());
        prompts->openNames = {p};
        QVERIFY(flow->OnFileOpen());
        QVERIFY(prompts->lastFilter.startsWith(QStringLiteral("Tarvex Files (*.VR-12)")));
        QCOMPARE(doc->Employees().size(), size_t(2));
        QCOMPARE(flow->title(), QStringLiteral("round.VR-12"));
        QVERIFY(!doc->IsModified());
        QCOMPARE(reset.count(), 2);
        // Save goes to the same file without asking.
        addEmployee("0000000000000003", "Three");
        QVERIFY(flow->OnFileSave());
        QVERIFY(prompts->lastSuggested.isEmpty());
        QVERIFY(!doc->IsModified());
    }

    void emptyFileOpensAsEmptyWorkspace() {
        addEmployee("0000000000000001", "One");
        doc->SetModifiedFlag(false);
        writeBytes(path("zero.VR-12"), QByteArray());
        QVERIFY(flow->OpenDocumentFile(path("zero.VR-12")));
        QVERIFY(prompts->stops.isEmpty());
        QVERIFY(doc->Employees().empty());
        QVERIFY(!doc->IsModified());
        QCOMPARE(flow->title(), QStringLiteral("zero.VR-12"));
    }

    // A foreign or newer file is refused with one message and never written: saving the empty
    // workspace in its name would have replaced all of it.
    void wrongMagicOrVersionIsRefusedAndKept_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<char>("byte");
        QTest::addColumn<QString>("found");
        QTest::newRow("magic") << 6 << 'y' << "is not a Tarvex workspace.";
        QTest::newRow("version 3") << 7 << '\x03' << "was written by version 3 ";
    }
    void wrongMagicOrVersionIsRefusedAndKept() {
        QFETCH(int, offset);
        QFETCH(char, byte);
        QFETCH(QString, found);
        for (int i = 1; i <= 6; ++i)
            addEmployee(QByteArray::number(i).rightJustified(16, '0').constData(), "Staff");
        doc->InsertController(1, CTermRecord{});
        doc->InsertController(2, CTermRecord{});
        const QString file = path("site.VR-12");
        QVERIFY(flow->DoSave(file));
        QByteArray bytes = fileBytes(file);
        bytes[offset] = byte;
        writeBytes(file, bytes);
        QVERIFY(flow->OnFileNew());
        const QStringList recentBefore = recent->files();

        QVERIFY(!flow->OpenDocumentFile(file));
        QCOMPARE(prompts->stops.size(), 1);
        QVERIFY(prompts->stops.first().startsWith(QStringLiteral("Failed to open document.")));
        QVERIFY2(prompts->stops.first().contains(file + QLatin1Char(' ') + found),
                 qPrintable(prompts->stops.first()));
        QVERIFY(doc->Employees().empty() && doc->Controllers().empty());
        QCOMPARE(flow->title(), QStringLiteral("New"));
        QVERIFY(flow->pathName().isEmpty());
        QCOMPARE(recent->files(), recentBefore);

        // Save now asks for a name instead of writing over the refused file.
        addEmployee("0000000000000009", "Nine");
        QVERIFY(!flow->OnFileSave());
        QCOMPARE(prompts->lastSuggested, QStringLiteral("Tarvex.VR-12"));
        QCOMPARE(fileBytes(file), bytes);
    }

    void savingOntoAPipeIsRefused() {
        addEmployee("0000000000000001", "One");
        const QString pipe = path("pipe.VR-12");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(!flow->DoSave(pipe));
        QCOMPARE(prompts->stops.size(), 1);
        QCOMPARE(prompts->stops.first(),
                 QStringLiteral("Failed to save document.\n\n%1 is not a regular file. The "
                                "workspace was not saved.")
                     .arg(pipe));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(pipe).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        QVERIFY(doc->IsModified());
        QCOMPARE(flow->title(), QStringLiteral("New"));
    }

    void truncatedFileLeavesNewUntitledWorkspace() {
        const QString p = savedWorkspace("whole.VR-12");
        QByteArray bytes = fileBytes(p);
        bytes.chop(5);
        writeBytes(path("cut.VR-12"), bytes);
        QVERIFY(!flow->OpenDocumentFile(path("cut.VR-12")));
        QCOMPARE(prompts->stops.size(), 1);
        QVERIFY(prompts->stops.first().startsWith(QStringLiteral("Failed to open document.")));
        QVERIFY(doc->Employees().empty());
        QVERIFY(!doc->IsModified());
        QCOMPARE(flow->title(), QStringLiteral("New"));
        QVERIFY(flow->pathName().isEmpty());
        QVERIFY(!recent->files().contains(path("cut.VR-12")));
    }

    void missingFileIsReported() {
        QVERIFY(!flow->OpenDocumentFile(path("nowhere/none.VR-12")));
        QCOMPARE(prompts->stops.size(), 1);
        QCOMPARE(flow->title(), QStringLiteral("New"));
    }

    void failedSaveKeepsWorkspaceModified() {
        const QString p = savedWorkspace("keep.VR-12");
        addEmployee("0000000000000009", "Nine");
        QVERIFY(!flow->DoSave(path("nowhere/x.VR-12")));
        QCOMPARE(prompts->stops.size(), 1);
        QVERIFY(prompts->stops.first().startsWith(QStringLiteral("Failed to save document.")));
        QVERIFY(doc->IsModified());
        QCOMPARE(flow->pathName(), p);
        QCOMPARE(flow->title(), QStringLiteral("keep.VR-12"));
        // A failed save during the prompt cancels the New.
        prompts->saveAnswers = {IUserPrompts::Yes};
        QVERIFY(QFile::remove(p));
        QVERIFY(QDir().mkpath(p)); // a folder where the file was: the save must fail
        QVERIFY(!flow->OnFileNew());
        QCOMPARE(doc->Employees().size(), size_t(3));
        QVERIFY(doc->IsModified());
    }

    void recentFilesOpenAndDropMissingOnes() {
        const QString a = savedWorkspace("a.VR-12");
        QVERIFY(flow->DoSave(path("b.VR-12")));
        QCOMPARE(recent->files(), QStringList({path("b.VR-12"), a}));
        QVERIFY(flow->OnFileNew());
        QVERIFY(flow->OnCommand(res::ID_FILE_MRU_FILE2)); // second entry
        QCOMPARE(flow->pathName(), a);
        QCOMPARE(recent->files().first(), a);
        CCmdUI ui(res::ID_FILE_MRU_FILE4);
        QVERIFY(flow->OnUpdateCommand(res::ID_FILE_MRU_FILE4, ui));
        QVERIFY(!ui.enabled());
        QVERIFY(QFile::remove(path("b.VR-12")));
        QVERIFY(flow->OnCommand(res::ID_FILE_MRU_FILE2));
        QCOMPARE(recent->files(), QStringList({a}));
        QCOMPARE(prompts->stops.size(), 1);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestDocumentFlow)
#include "tst_documentflow.moc"

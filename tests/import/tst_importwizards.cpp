// The two import wizards driven as a user would, through the File Import commands: pages,
// refusals, Back and Next, Cancel, and the import with its message and remembered setting.
#include "appsettings.h"
#include "catalogue.h"
#include "cmdui.h"
#include "datalinkprompt.h"
#include "dbfixture.h"
#include "importcommands.h"
#include "importdbcolumns.h"
#include "importprogressdlg.h"
#include "importtxtcolumns.h"
#include "importusers.h"
#include "importusersdb.h"
#include "mediaid.h"
#include "resourceids.h"
#include "scriptedprompts.h"
#include "tarvexdoc.h"
#include "testfiles.h"
#include "testworld.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

using namespace res;
using namespace std::chrono_literals;

namespace {

// Answers the connection prompt with a fixed string, or cancels.
class FixedDataLink : public CDataLinkPrompt {
public:
    explicit FixedDataLink(QString answer) : m_answer(std::move(answer)) {}

protected:
    bool runDialog(const QString& initial, QString& result) override {
        initialSeen = initial;
        if (m_answer.isEmpty())
            return false;
        result = m_answer;
        return true;
    }

public:
    QString initialSeen = QStringLiteral("<not asked>");

private:
    QString m_answer;
};

QString storedSetting(const QString& name) {
    auto store = CAppSettings::openStore();
    store->beginGroup(QStringLiteral("Settings"));
    return store->value(name).toString();
}

void click(QWizard* w, QWizard::WizardButton which) {
    QAbstractButton* b = w->button(which);
    QVERIFY2(b->isEnabled() && b->isVisible(), qPrintable(b->text()));
    QTest::mouseClick(b, Qt::LeftButton);
}

template <class T> T* item(QWidget* w, int id) {
    return w->findChild<T*>(QStringLiteral("item%1").arg(id));
}

QStringList comboItems(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList headerLabels(QTreeWidget* list) {
    QStringList labels;
    for (int i = 0; i < list->columnCount(); ++i)
        labels << list->headerItem()->text(i);
    return labels;
}

QStringList rowTexts(QTreeWidget* list, int row) {
    QStringList texts;
    for (int i = 0; i < list->columnCount(); ++i)
        texts << list->topLevelItem(row)->text(i);
    return texts;
}

// Holds a SQLite database of the test world locked against every other connection, as a
// program writing to it would, for as long as it lives.
class DatabaseLock {
public:
    explicit DatabaseLock(const char* file) : m_rs(&m_db) {
        m_locked = m_db.Open(TestWorld::instance()->sqliteConnection(QString::fromLatin1(file))) &&
                   m_rs.Open(QStringLiteral("begin exclusive"));
    }
    ~DatabaseLock() {
        if (m_locked)
            m_rs.Open(QStringLiteral("rollback"));
    }
    bool locked() const { return m_locked; }

private:
    CADODataBase m_db;
    CADORecordset m_rs;
    bool m_locked = false;
};

long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    const std::string prefix = std::string(key) + ':';
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

// Starts a new peak of the resident memory (VmHWM) from the current size, which it returns.
long resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmRSS");
}

// The numbers in a text, in order.
QList<int> numbersIn(const QString& text) {
    QList<int> numbers;
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    for (auto it = digits.globalMatch(text); it.hasNext();)
        numbers << it.next().captured().toInt();
    return numbers;
}

} // namespace

class TestImportWizards : public QObject {
    Q_OBJECT

    ScriptedPrompts m_prompts;
    std::unique_ptr<CTarvexDoc> m_doc;
    std::unique_ptr<CImportCommands> m_commands;
    int m_saves = 0;

    // Runs the command; `script` gets the wizard once it is shown. A wizard the script leaves
    // open is cancelled, so a failed check cannot hang the test.
    template <class W> bool run(int command, const std::function<void(W*)>& script) {
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
            shown = w != nullptr;
            if (!w)
                return;
            script(w);
            if (w->isVisible())
                w->reject();
        });
        m_commands->OnCommand(command);
        return shown;
    }

    QString csv(const QString& name, const QByteArray& bytes) {
        const QString path = TestWorld::instance()->path(name);
        writeBytes(path, bytes);
        return path;
    }

private slots:
    void initTestCase() {
        const QString error = runStatements(
            "source.db",
            {"create table \"Staff List\"(\"Card No\" integer, \"Family Name\" text, Given text, "
             "Rate real, Photo blob)",
             "insert into \"Staff List\" values(12345678, 'Kos', 'Ana', 87654321.0, x'0001')",
             // The same card twice in the source: imported once.
             "insert into \"Staff List\" values(12345678, 'Twice', 'Again', 1.5, NULL)",
             "insert into \"Staff List\" values(22223333, NULL, NULL, NULL, NULL)",
             // Leading zeros of a number are lost: seven digits are rejected.
             "insert into \"Staff List\" values(01234567, 'Short', 'Number', NULL, NULL)",
             "insert into \"Staff List\" values(NULL, 'No', 'Card', NULL, NULL)",
             "create view staffview as select \"Card No\" as card, \"Family Name\" as last, "
             "Given as first from \"Staff List\" where Given = 'Ana'",
             "create table empty(card text, last text, first text)"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void init() {
        m_prompts = ScriptedPrompts();
        m_doc = std::make_unique<CTarvexDoc>();
        m_saves = 0;
        m_commands = std::make_unique<CImportCommands>(CImportCommands::Context{
            &m_prompts, [this] { return m_doc.get(); }, [] { return nullptr; },
            [this] {
                ++m_saves;
                CAppSettings::instance().save(*CAppSettings::openStore());
            }});
        CAppSettings::instance().ImportFile.clear();
        CAppSettings::instance().ImportDB.clear();
        CAppSettings::instance().save(*CAppSettings::openStore());
    }

    void commandsAreEnabledWithAWorkspace() {
        CCmdUI ui(ID_FILE_IMPORT_DB);
        QVERIFY(m_commands->OnUpdateCommand(ID_FILE_IMPORT_DB, ui));
        QVERIFY(ui.enabled());
        CCmdUI other(ID_FILE_NEW);
        QVERIFY(!m_commands->OnUpdateCommand(ID_FILE_NEW, other));
        QVERIFY(!m_commands->OnCommand(ID_FILE_NEW));
    }

    void textWizardLook() {
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [](CPS_ImportUsers* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Import employees from text file"));
            QCOMPARE(w->wizardStyle(), QWizard::ModernStyle);
            QVERIFY(!w->testOption(QWizard::HaveHelpButton));
            QVERIFY(!w->pixmap(QWizard::LogoPixmap).isNull());
            QCOMPARE(w->pageIds().size(), 4);
            const QList<QWizardPage*> pages = {w->page(0), w->page(1), w->page(2), w->page(3)};
            // The watermark belongs to the exterior pages only.
            QVERIFY(!pages[0]->pixmap(QWizard::WatermarkPixmap).isNull());
            QVERIFY(pages[1]->pixmap(QWizard::WatermarkPixmap).isNull());
            QVERIFY(pages[2]->pixmap(QWizard::WatermarkPixmap).isNull());
            QVERIFY(!pages[3]->pixmap(QWizard::WatermarkPixmap).isNull());
            QCOMPARE(pages[0]->objectName(), QStringLiteral("dialog155"));
            QCOMPARE(pages[1]->objectName(), QStringLiteral("dialog154"));
            QCOMPARE(pages[2]->objectName(), QStringLiteral("dialog153"));
            QCOMPARE(pages[3]->objectName(), QStringLiteral("dialog107"));
            // Exterior pages have no header; interior ones their title and subtitle.
            QVERIFY(pages[0]->title().isEmpty() && pages[0]->subTitle().isEmpty());
            QVERIFY(pages[3]->title().isEmpty() && pages[3]->subTitle().isEmpty());
            QCOMPARE(pages[1]->title(), QStringLiteral("Select file"));
            QCOMPARE(pages[1]->subTitle(),
                     QStringLiteral("Choose text file containing comma separated values"));
            QCOMPARE(pages[2]->title(), QStringLiteral("Select columns"));
            QCOMPARE(pages[2]->subTitle(),
                     QStringLiteral("Assign text field values to desired employee's attributes"));

            auto* title = item<QLabel>(pages[0], IDC_IMPORT_TXT_TITLE);
            QVERIFY(title);
            QCOMPARE(title->text(), QStringLiteral("Welcome to employees import wizard"));
            QCOMPARE(title->font().pixelSize(), 20);
            QCOMPARE(title->font().weight(), QFont::Bold);
            QCOMPARE(title->font().family(), QStringLiteral("Tahoma"));
            QVERIFY(item<QLabel>(pages[0], IDC_IMPORT_INTRO)
                        ->text()
                        .startsWith(QStringLiteral("This wizard will let you choose a comma")));
            QCOMPARE(item<QLabel>(pages[3], IDC_IMPORT_TXT_OVERVIEW_TITLE)->font().pixelSize(), 20);

            // The welcome page offers Next only.
            QVERIFY(!w->button(QWizard::BackButton)->isEnabled());
            QVERIFY(w->button(QWizard::NextButton)->isEnabled());
            auto* magnetic = item<QRadioButton>(pages[2], IDC_IMPORT_MAGNETIC);
            QVERIFY(magnetic && !magnetic->isEnabled() && magnetic->isHidden());
            QCOMPARE(magnetic->text(), QStringLiteral("M&agnetic card"));
        }));
    }

    void textWizardRulesAndImport() {
        const QString path =
            csv("staff.csv", "card,last,first\n1a2b3c4d,Novak, Jan \n\n1A2B3C4D,Again,Same\n"
                             "\"11111111\",Quoted,Id\n0123456789ABCD,Long,Id\n");
        m_prompts.openNames = {path};
        // The employee already in the workspace is skipped.
        const std::string existing = *NormalizeMediaId("0123456789ABCD", MediaIButton);
        m_doc->InsertEmployee(existing, CEmpRecord{});

        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 1);
            QVERIFY(w->button(QWizard::BackButton)->isEnabled());
            auto* edit = item<QLineEdit>(w->currentPage(), IDC_IMPORT_TXT_PATH);
            QVERIFY(edit->isReadOnly());
            QVERIFY(edit->text().isEmpty()); // ImportFile is empty
            click(w, QWizard::NextButton);
            QCOMPARE(m_prompts.stops, QStringList{QStringLiteral("No file specified.")});
            QCOMPARE(w->currentId(), 1);

            QTest::mouseClick(item<QPushButton>(w->currentPage(), IDC_IMPORT_TXT_BROWSE),
                              Qt::LeftButton);
            QCOMPARE(m_prompts.lastFilter, QStringLiteral("Text files (*.txt *.csv)"));
            QCOMPARE(edit->text(), path);
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 2);

            QWizardPage* columns = w->currentPage();
            auto* preview = item<QTreeWidget>(columns, IDC_IMPORT_TXT_PREVIEW);
            QCOMPARE(headerLabels(preview), (QStringList{"Column 0", "Column 1", "Column 2"}));
            QCOMPARE(preview->topLevelItemCount(), 1);
            QCOMPARE(rowTexts(preview, 0), (QStringList{"card", "last", "first"}));
            QCOMPARE(preview->columnWidth(0), 100);
            auto* mediaId = item<QComboBox>(columns, IDC_IMPORT_TXT_MEDIAID);
            auto* last = item<QComboBox>(columns, IDC_IMPORT_TXT_LASTNAME);
            auto* first = item<QComboBox>(columns, IDC_IMPORT_TXT_FIRSTNAME);
            QCOMPARE(comboItems(first), (QStringList{"Column 0", "Column 1", "Column 2"}));
            QCOMPARE(mediaId->currentIndex(), -1);

            mediaId->setCurrentIndex(0);
            last->setCurrentIndex(1);
            click(w, QWizard::NextButton);
            QCOMPARE(m_prompts.stops.last(),
                     QStringLiteral("Incomplete selection. Please fill in all fields."));
            QCOMPARE(w->currentId(), 2);
            first->setCurrentIndex(2);
            item<QRadioButton>(columns, IDC_IMPORT_RF)->setChecked(true);
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 3);

            QWizardPage* finish = w->currentPage();
            QVERIFY(w->button(QWizard::FinishButton)->isVisible());
            QCOMPARE(item<QLineEdit>(finish, IDC_IMPORT_TXT_FILECOPY)->text(), path);
            auto* overview = item<QTreeWidget>(finish, IDC_IMPORT_TXT_OVERVIEW);
            QCOMPARE(headerLabels(overview), (QStringList{"File", "Database"}));
            QCOMPARE(overview->columnWidth(1), 120);
            QCOMPARE(overview->topLevelItemCount(), 3);
            QCOMPARE(rowTexts(overview, 0), (QStringList{"Column 0", "MediaID"}));
            QCOMPARE(rowTexts(overview, 1), (QStringList{"Column 1", "Last Name"}));
            QCOMPARE(rowTexts(overview, 2), (QStringList{"Column 2", "First Name"}));
            QCOMPARE(item<QLabel>(finish, IDC_IMPORT_TXT_MEDIATYPE)->text(),
                     QStringLiteral("RF card"));

            // Back and Next again keep every choice.
            click(w, QWizard::BackButton);
            click(w, QWizard::BackButton);
            QCOMPARE(w->currentId(), 1);
            click(w, QWizard::NextButton);
            QCOMPARE(mediaId->currentIndex(), 0);
            QCOMPARE(last->currentIndex(), 1);
            QCOMPARE(first->currentIndex(), 2);
            QVERIFY(item<QRadioButton>(columns, IDC_IMPORT_RF)->isChecked());
            QCOMPARE(preview->columnCount(), 3); // rebuilt, not added to
            click(w, QWizard::NextButton);
            click(w, QWizard::FinishButton);
        }));

        // Six lines, an empty one and the header included; the RF family code is used.
        QCOMPARE(m_prompts.informations,
                 QStringList{QStringLiteral("Total found: 6\nImported: 1")});
        const CEmpRecord* added = m_doc->FindEmployee(*NormalizeMediaId("1A2B3C4D", MediaRfCard));
        QVERIFY(added);
        QCOMPARE(added->LastName, std::string("Novak"));
        QCOMPARE(added->FirstName, std::string(" Jan "));
        QVERIFY(m_doc->IsModified());
        QCOMPARE(m_saves, 1);
        QCOMPARE(storedSetting("ImportFile"), path);
        QCOMPARE(CAppSettings::instance().ImportFile, path);

        // The file again, starting from the remembered path: same total, nothing new.
        m_prompts.informations.clear();
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QCOMPARE(item<QLineEdit>(w->currentPage(), IDC_IMPORT_TXT_PATH)->text(), path);
            click(w, QWizard::NextButton);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            QCOMPARE(item<QLabel>(w->currentPage(), IDC_IMPORT_TXT_MEDIATYPE)->text(),
                     QStringLiteral("iButton"));
            click(w, QWizard::FinishButton);
        }));
        QCOMPARE(m_prompts.informations,
                 QStringList{QStringLiteral("Total found: 6\nImported: 1")});
    }

    void textWizardCancelChangesNothing() {
        const QString path = csv("cancel.csv", "1a2b3c4d,A,B\n");
        CAppSettings::instance().ImportFile = QStringLiteral("/elsewhere/old.csv");
        CAppSettings::instance().save(*CAppSettings::openStore());
        m_prompts.openNames = {path};
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QTest::mouseClick(item<QPushButton>(w->currentPage(), IDC_IMPORT_TXT_BROWSE),
                              Qt::LeftButton);
            click(w, QWizard::NextButton);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 3);
            click(w, QWizard::CancelButton);
        }));
        QVERIFY(m_doc->Employees().empty());
        QVERIFY(!m_doc->IsModified());
        QCOMPARE(m_saves, 0);
        QCOMPARE(storedSetting("ImportFile"), QStringLiteral("/elsewhere/old.csv"));
        QVERIFY(m_prompts.informations.isEmpty());
    }

    void textWizardBadFiles() {
        // Ten thousand commas: the choices and the preview stop at their caps, and say so.
        QByteArray wide(10000, ',');
        const QString widePath = csv("wide.csv", wide + "\n1a2b3c4d,x\n");
        // Binary bytes and NULs in the first line.
        const QString binaryPath =
            csv("binary.csv", QByteArray("\x00\x01\xff,\x89PNG\x00,z\n1a2b3c4d,\x00,\x01\n", 24));
        const QString gonePath = csv("gone.csv", "1a2b3c4d,A,B\n");

        m_prompts.openNames = {widePath};
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QTest::mouseClick(item<QPushButton>(w->currentPage(), IDC_IMPORT_TXT_BROWSE),
                              Qt::LeftButton);
            QElapsedTimer timer;
            timer.start();
            click(w, QWizard::NextButton);
            const qint64 ms = timer.elapsed();
            auto* columns = w->currentPage();
            auto* preview = item<QTreeWidget>(columns, IDC_IMPORT_TXT_PREVIEW);
            QCOMPARE(preview->columnCount(), CPP_ImportTxtColumns::kPreviewColumns);
            auto* last = item<QComboBox>(columns, IDC_IMPORT_TXT_LASTNAME);
            QCOMPARE(last->count(), kFirstLineFields);
            QCOMPARE(last->itemText(1023), QStringLiteral("Column 1023"));
            auto* note = columns->findChild<QLabel*>(QStringLiteral("firstLineCut"));
            QVERIFY(note && note->isVisible());
            QCOMPARE(note->text(), QStringLiteral("The first line is too long to be offered "
                                                  "whole: only its first 1024 fields are listed."));
            // About 50 ms here; measuring every caption to size the lists took a second.
            QVERIFY2(ms < 500, qPrintable(QString::number(ms)));
            qInfo("columns page with 10001 fields, %d offered: %lld ms", kFirstLineFields, ms);
        }));

        m_prompts.openNames = {binaryPath};
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QTest::mouseClick(item<QPushButton>(w->currentPage(), IDC_IMPORT_TXT_BROWSE),
                              Qt::LeftButton);
            click(w, QWizard::NextButton);
            auto* columns = w->currentPage();
            QCOMPARE(item<QTreeWidget>(columns, IDC_IMPORT_TXT_PREVIEW)->columnCount(), 3);
            item<QComboBox>(columns, IDC_IMPORT_TXT_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(columns, IDC_IMPORT_TXT_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(columns, IDC_IMPORT_TXT_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            click(w, QWizard::FinishButton);
        }));
        QCOMPARE(m_prompts.informations.last(), QStringLiteral("Total found: 2\nImported: 1"));

        // The file goes between the file page and the columns page, then between the columns
        // page and Finish.
        m_prompts.openNames = {gonePath};
        m_prompts.stops.clear();
        m_prompts.informations.clear();
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QTest::mouseClick(item<QPushButton>(w->currentPage(), IDC_IMPORT_TXT_BROWSE),
                              Qt::LeftButton);
            QFile::rename(gonePath, gonePath + ".away");
            click(w, QWizard::NextButton);
            QCOMPARE(m_prompts.stops,
                     QStringList{gonePath + QStringLiteral("\nCannot open the file.")});
            auto* columns = w->currentPage();
            QCOMPARE(item<QComboBox>(columns, IDC_IMPORT_TXT_MEDIAID)->count(), 0);
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 2);
            QCOMPARE(m_prompts.stops.last(),
                     QStringLiteral("Incomplete selection. Please fill in all fields."));

            QFile::rename(gonePath + ".away", gonePath);
            click(w, QWizard::BackButton);
            click(w, QWizard::NextButton);
            item<QComboBox>(columns, IDC_IMPORT_TXT_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(columns, IDC_IMPORT_TXT_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(columns, IDC_IMPORT_TXT_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            QFile::remove(gonePath);
            click(w, QWizard::FinishButton);
        }));
        QCOMPARE(m_prompts.stops.last(), gonePath + QStringLiteral("\nCannot open the file."));
        QVERIFY(m_prompts.informations.isEmpty());
        QCOMPARE(m_doc->Employees().size(), std::size_t(1)); // from the binary file only
    }

    void databaseWizardLookAndConnection() {
        const QString good = TestWorld::instance()->sqliteConnection("source.db");
        auto link = std::make_shared<QString>(good);
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Import employees from a database"));
            QCOMPARE(w->wizardStyle(), QWizard::ModernStyle);
            QVERIFY(!w->testOption(QWizard::HaveHelpButton));
            QCOMPARE(w->page(0)->objectName(), QStringLiteral("dialog159"));
            QCOMPARE(w->page(1)->objectName(), QStringLiteral("dialog158"));
            QCOMPARE(w->page(2)->objectName(), QStringLiteral("dialog157"));
            QCOMPARE(w->page(3)->objectName(), QStringLiteral("dialog156"));
            QCOMPARE(w->page(1)->title(), QStringLiteral("Select source database"));
            QCOMPARE(w->page(1)->subTitle(),
                     QStringLiteral("Choose the database you wish to import employees from"));
            QCOMPARE(w->page(2)->title(), QStringLiteral("Select table and columns"));
            QCOMPARE(w->page(2)->subTitle(),
                     QStringLiteral("Assign source database's fields to desired employee's "
                                    "attributes"));
            QVERIFY(w->page(0)->subTitle().isEmpty() && w->page(3)->subTitle().isEmpty());
            QCOMPARE(item<QLabel>(w->page(0), IDC_IMPORT_DB_TITLE)->font().pixelSize(), 20);
            auto* magnetic = item<QRadioButton>(w->page(2), IDC_IMPORT_MAGNETIC);
            QVERIFY(!magnetic->isEnabled() && magnetic->isHidden());

            click(w, QWizard::NextButton);
            // No connection dialog was supplied: the button cannot open one.
            QVERIFY(!item<QPushButton>(w->currentPage(), IDC_IMPORT_DB_SELECT)->isEnabled());
            click(w, QWizard::NextButton);
            QCOMPARE(m_prompts.stops, QStringList{QStringLiteral("No database specified.")});
            QCOMPARE(w->currentId(), 1);
        }));

        // With the dialog: confirming replaces the text, cancelling keeps it; a string that
        // does not connect keeps the wizard on the page.
        QStringList answers = {TestWorld::instance()->sqliteConnection("missing.db"), QString(),
                               good};
        m_commands->setDataLinkPrompt([&](QWidget* owner) -> std::unique_ptr<CDataLinkPrompt> {
            [&] { QVERIFY(owner && owner->objectName() == QStringLiteral("dialog158")); }();
            auto prompt = std::make_unique<FixedDataLink>(answers.takeFirst());
            return prompt;
        });
        m_prompts.stops.clear();
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            auto* select = item<QPushButton>(w->currentPage(), IDC_IMPORT_DB_SELECT);
            auto* edit = item<QPlainTextEdit>(w->currentPage(), IDC_IMPORT_DB_CONNECTION);
            QVERIFY(edit->isReadOnly());
            QTest::mouseClick(select, Qt::LeftButton);
            QCOMPARE(edit->toPlainText(), TestWorld::instance()->sqliteConnection("missing.db"));
            click(w, QWizard::NextButton);
            QCOMPARE(m_prompts.stops,
                     QStringList{QStringLiteral("Unable to connect to database.")});
            QCOMPARE(w->currentId(), 1);
            QTest::mouseClick(select, Qt::LeftButton); // cancelled
            QCOMPARE(edit->toPlainText(), TestWorld::instance()->sqliteConnection("missing.db"));
            QTest::mouseClick(select, Qt::LeftButton);
            QCOMPARE(edit->toPlainText(), good);
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 2);
            click(w, QWizard::CancelButton);
        }));
        QVERIFY(answers.isEmpty());
        QCOMPARE(m_saves, 0);
        QVERIFY(storedSetting("ImportDB").isEmpty());
        QVERIFY(m_doc->Employees().empty());
    }

    void databaseWizardColumnsAndImport() {
        const QString good = TestWorld::instance()->sqliteConnection("source.db");
        CAppSettings::instance().ImportDB = good;
        // One card of the table is in the workspace already.
        m_doc->InsertEmployee(*NormalizeMediaId("22223333", MediaIButton), CEmpRecord{});
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            QCOMPARE(
                item<QPlainTextEdit>(w->currentPage(), IDC_IMPORT_DB_CONNECTION)->toPlainText(),
                good);
            click(w, QWizard::NextButton);
            QWizardPage* page = w->currentPage();
            auto* table = item<QComboBox>(page, IDC_IMPORT_DB_TABLE);
            auto* mediaId = item<QComboBox>(page, IDC_IMPORT_DB_MEDIAID);
            auto* last = item<QComboBox>(page, IDC_IMPORT_DB_LASTNAME);
            auto* first = item<QComboBox>(page, IDC_IMPORT_DB_FIRSTNAME);
            // Tables and views in schema order; no system tables.
            QCOMPARE(comboItems(table), (QStringList{"Staff List", "staffview", "empty"}));
            QCOMPARE(table->currentIndex(), -1);
            click(w, QWizard::NextButton);
            QCOMPARE(m_prompts.stops.last(),
                     QStringLiteral("Incomplete selection. Please fill in all fields."));

            table->setCurrentIndex(0);
            QCOMPARE(comboItems(first),
                     (QStringList{"Card No", "Family Name", "Given", "Rate", "Photo"}));
            QCOMPARE(first->currentIndex(), -1);
            mediaId->setCurrentIndex(0);
            last->setCurrentIndex(1);
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 2);
            first->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 3);

            QWizardPage* finish = w->currentPage();
            QCOMPARE(item<QPlainTextEdit>(finish, IDC_IMPORT_DB_CONNCOPY)->toPlainText(), good);
            QCOMPARE(item<QLabel>(finish, IDC_IMPORT_DB_TABLENAME)->text(),
                     QStringLiteral("Staff List"));
            auto* overview = item<QTreeWidget>(finish, IDC_IMPORT_DB_OVERVIEW);
            QCOMPARE(headerLabels(overview), (QStringList{"Source", "Destination"}));
            QCOMPARE(rowTexts(overview, 0), (QStringList{"Card No", "MediaID"}));
            QCOMPARE(rowTexts(overview, 1), (QStringList{"Family Name", "Last Name"}));
            QCOMPARE(rowTexts(overview, 2), (QStringList{"Given", "First Name"}));
            QCOMPARE(item<QLabel>(finish, IDC_IMPORT_DB_MEDIATYPE)->text(),
                     QStringLiteral("iButton"));

            // Back and Next: each table listed once, every choice kept.
            click(w, QWizard::BackButton);
            click(w, QWizard::BackButton);
            click(w, QWizard::NextButton);
            QCOMPARE(comboItems(table), (QStringList{"Staff List", "staffview", "empty"}));
            QCOMPARE(table->currentIndex(), 0);
            QCOMPARE(mediaId->currentText(), QStringLiteral("Card No"));
            QCOMPARE(last->currentText(), QStringLiteral("Family Name"));
            QCOMPARE(first->currentText(), QStringLiteral("Given"));
            click(w, QWizard::NextButton);
            click(w, QWizard::FinishButton);
            QCOMPARE(w->settings().table, QStringLiteral("Staff List"));
        }));
        // Five rows: a repeated card, one already present, seven digits, no card.
        QCOMPARE(m_prompts.informations,
                 QStringList{QStringLiteral("Total found: 5\nImported: 1")});
        const CEmpRecord* added = m_doc->FindEmployee(*NormalizeMediaId("12345678", MediaIButton));
        QVERIFY(added);
        QCOMPARE(added->LastName, std::string("Kos"));
        QCOMPARE(storedSetting("ImportDB"), good);
        QCOMPARE(m_saves, 1);

        // A real column as media ID, a blob as name; and the view.
        m_prompts.informations.clear();
        const auto chooseAndFinish = [&](int tableIndex, int idColumn, int lastColumn,
                                         int firstColumn) {
            return [=, this](CPS_ImportUsersDB* w) {
                click(w, QWizard::NextButton);
                click(w, QWizard::NextButton);
                QWizardPage* page = w->currentPage();
                item<QComboBox>(page, IDC_IMPORT_DB_TABLE)->setCurrentIndex(tableIndex);
                item<QComboBox>(page, IDC_IMPORT_DB_MEDIAID)->setCurrentIndex(idColumn);
                item<QComboBox>(page, IDC_IMPORT_DB_LASTNAME)->setCurrentIndex(lastColumn);
                item<QComboBox>(page, IDC_IMPORT_DB_FIRSTNAME)->setCurrentIndex(firstColumn);
                item<QRadioButton>(page, IDC_IMPORT_RF)->setChecked(true);
                click(w, QWizard::NextButton);
                click(w, QWizard::FinishButton);
            };
        };
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, chooseAndFinish(0, 3, 4, 2)));
        QCOMPARE(m_prompts.informations.last(), QStringLiteral("Total found: 5\nImported: 1"));
        const CEmpRecord* fromReal =
            m_doc->FindEmployee(*NormalizeMediaId("87654321", MediaRfCard));
        QVERIFY(fromReal);
        QCOMPARE(fromReal->LastName, std::string()); // a blob has no text
        QCOMPARE(fromReal->FirstName, std::string("Ana"));

        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, chooseAndFinish(1, 0, 1, 2)));
        QCOMPARE(m_prompts.informations.last(), QStringLiteral("Total found: 1\nImported: 1"));
        QVERIFY(m_doc->FindEmployee(*NormalizeMediaId("12345678", MediaRfCard)));

        // An empty table, then a table dropped between the columns page and Finish.
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, chooseAndFinish(2, 0, 1, 2)));
        QCOMPARE(m_prompts.notices, QStringList{QStringLiteral("Nothing to import.")});
        m_prompts.stops.clear();
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            click(w, QWizard::NextButton);
            QWizardPage* page = w->currentPage();
            item<QComboBox>(page, IDC_IMPORT_DB_TABLE)->setCurrentIndex(2);
            item<QComboBox>(page, IDC_IMPORT_DB_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(page, IDC_IMPORT_DB_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(page, IDC_IMPORT_DB_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            const QString error = runStatements("source.db", {"drop table empty"});
            QVERIFY2(error.isEmpty(), qPrintable(error));
            click(w, QWizard::FinishButton);
        }));
        QCOMPARE(m_prompts.stops.size(), 1);
        QVERIFY2(m_prompts.stops[0].startsWith(
                     QStringLiteral("Database error:\n\nQuery = select count(*) from "
                                    "\"empty\"\nCADORecordset Error")),
                 qPrintable(m_prompts.stops[0]));
        QVERIFY(runStatements("source.db", {"create table empty(card text, last text, first "
                                            "text)"})
                    .isEmpty());
    }

    // The progress window stays away from a quick import and shows once it takes a second.
    void progressAfterASecond() {
        QWidget owner;
        owner.resize(400, 300);
        owner.show();
        CImportProgressDlg progress(&owner);
        progress.step(1, 10);
        QVERIFY(!progress.isVisible());
        QCOMPARE(progress.text(), QStringLiteral("Importing employees"));
        QTest::qSleep(CImportProgressDlg::kShowAfterMs + 50);
        progress.step(2, 10);
        QVERIFY(progress.isVisible());
        QCOMPARE(progress.text(), QStringLiteral("Importing employees: 2/10"));
        QCOMPARE(progress.objectName(), QStringLiteral("dialog135"));
        // However soon after the one before, the last row is shown.
        progress.step(10, 10);
        QCOMPARE(progress.text(), QStringLiteral("Importing employees: 10/10"));
    }

    void databaseGoneBetweenPages() {
        const QString path = TestWorld::instance()->path("vanishing.db");
        QVERIFY(
            runStatements("vanishing.db", {"create table t(a text, b text, c text)"}).isEmpty());
        CAppSettings::instance().ImportDB = TestWorld::instance()->sqliteConnection("vanishing.db");
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            click(w, QWizard::NextButton);
            auto* table = item<QComboBox>(w->currentPage(), IDC_IMPORT_DB_TABLE);
            QCOMPARE(comboItems(table), QStringList{"t"});
            click(w, QWizard::BackButton);
            QVERIFY(QFile::rename(path, path + ".away"));
            m_prompts.stops.clear();
            click(w, QWizard::NextButton);
            QCOMPARE(m_prompts.stops, QStringList{"Unable to connect to database."});
            QVERIFY(QFile::rename(path + ".away", path));
            click(w, QWizard::NextButton);
            QCOMPARE(w->currentId(), 2);
            QCOMPARE(comboItems(table), QStringList{"t"}); // listed once
            QVERIFY(QFile::rename(path, path + ".away"));
            table->setCurrentIndex(0);
            QCOMPARE(m_prompts.stops.last(), QStringLiteral("Unable to connect to database."));
            QCOMPARE(item<QComboBox>(w->currentPage(), IDC_IMPORT_DB_MEDIAID)->count(), 0);
            // The columns page opening without its database keeps the table list.
            w->columnsPage()->initializePage();
            QCOMPARE(m_prompts.stops.last(),
                     QStringLiteral("Unable to connect to source database."));
            QCOMPARE(comboItems(table), QStringList{"t"});
            QVERIFY(QFile::rename(path + ".away", path));
        }));
    }

    // A first line of a million commas: the page reads a bounded part of it and offers a
    // bounded number of fields, in a few megabytes; offering every field took about 800.
    void textWizardFirstLineInBoundedMemory() {
        const QString path = csv("million.csv", QByteArray(1000000, ',') + "\n1a2b3c4d,x\n");
        m_prompts.openNames = {path};
        long grown = -1;
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QTest::mouseClick(item<QPushButton>(w->currentPage(), IDC_IMPORT_TXT_BROWSE),
                              Qt::LeftButton);
            const long base = resetPeak();
            click(w, QWizard::NextButton);
            grown = statusKb("VmHWM") - base;
            QCOMPARE(w->currentId(), 2);
            QWizardPage* columns = w->currentPage();
            QCOMPARE(item<QComboBox>(columns, IDC_IMPORT_TXT_MEDIAID)->count(), kFirstLineFields);
            QCOMPARE(item<QTreeWidget>(columns, IDC_IMPORT_TXT_PREVIEW)->columnCount(),
                     CPP_ImportTxtColumns::kPreviewColumns);
            QVERIFY(columns->findChild<QLabel*>(QStringLiteral("firstLineCut"))->isVisible());
        }));
        qInfo("columns page for a first line of a million commas: peak memory grew by %ld kB",
              grown);
        // The address sanitizer's shadow and quarantine make the figure meaningless there.
#if !defined(__SANITIZE_ADDRESS__)
        QVERIFY2(grown >= 0 && grown < 16 * 1024, qPrintable(QString::number(grown)));
#endif
    }

    // A file that fails while it is read (a terminal that hangs up after two lines): the error
    // is shown with how far the import got, and the employees read before it stay.
    void textWizardReadErrorKeepsTheLinesBefore() {
        int master = -1, slave = -1;
        char name[128] = {};
        QCOMPARE(openpty(&master, &slave, name, nullptr, nullptr), 0);
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        // The wizard's pages read a plain file; the import, through the same name, the terminal.
        const QString path = TestWorld::instance()->path("failing.csv");
        QVERIFY(QFile::link(csv("failing-plain.csv", "1a2b3c4d,Novak,Jan\n"), path));
        m_prompts.openNames = {path};
        std::thread hangUp;
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QTest::mouseClick(item<QPushButton>(w->currentPage(), IDC_IMPORT_TXT_BROWSE),
                              Qt::LeftButton);
            click(w, QWizard::NextButton);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(w->currentPage(), IDC_IMPORT_TXT_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::link(QString::fromLocal8Bit(name), path));
            hangUp = std::thread([master, slave] {
                const char lines[] = "11111111,Kos,Ana\n22222222,Horvat,Ivo\n";
                [[maybe_unused]] const ssize_t written = write(master, lines, sizeof lines - 1);
                // Once the import has taken both lines the terminal hangs up under it.
                for (int waited = 0; waited < 10000; waited += 10) {
                    int queued = 0;
                    if (ioctl(slave, FIONREAD, &queued) == 0 && queued == 0)
                        break;
                    std::this_thread::sleep_for(10ms);
                }
                std::this_thread::sleep_for(100ms);
                close(master);
            });
            click(w, QWizard::FinishButton);
        }));
        if (hangUp.joinable())
            hangUp.join();
        close(slave);
        QCOMPARE(m_prompts.stops,
                 QStringList{path + QStringLiteral("\nReading the file failed: ") +
                             QString::fromLocal8Bit(std::strerror(EIO)) +
                             QStringLiteral("\n\nLines read before the error: 2\nImported from "
                                            "them and kept: 2")});
        QVERIFY(m_prompts.informations.isEmpty());
        QCOMPARE(m_doc->Employees().size(), std::size_t(2));
        QCOMPARE(m_doc->FindEmployee(*NormalizeMediaId("22222222", MediaIButton))->LastName,
                 std::string("Horvat"));
        QVERIFY(m_doc->IsModified());
    }

    // Back from the overview shows the columns page anew, as every visit does: a file or a
    // database changed meanwhile shows its new contents, the choices kept where they still fit.
    void backFromFinishRebuildsTheColumnsPage() {
        const QString path = csv("changing.csv", "card,last\n");
        m_prompts.openNames = {path};
        QVERIFY(run<CPS_ImportUsers>(ID_FILE_IMPORT_TXT, [&](CPS_ImportUsers* w) {
            click(w, QWizard::NextButton);
            QTest::mouseClick(item<QPushButton>(w->currentPage(), IDC_IMPORT_TXT_BROWSE),
                              Qt::LeftButton);
            click(w, QWizard::NextButton);
            QWizardPage* columns = w->currentPage();
            auto* preview = item<QTreeWidget>(columns, IDC_IMPORT_TXT_PREVIEW);
            auto* first = item<QComboBox>(columns, IDC_IMPORT_TXT_FIRSTNAME);
            QCOMPARE(preview->columnCount(), 2);
            item<QComboBox>(columns, IDC_IMPORT_TXT_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(columns, IDC_IMPORT_TXT_LASTNAME)->setCurrentIndex(1);
            first->setCurrentIndex(1);
            click(w, QWizard::NextButton);
            writeBytes(path, "card,last,first,extra\n");
            click(w, QWizard::BackButton);
            QCOMPARE(w->currentId(), 2);
            QCOMPARE(rowTexts(preview, 0), (QStringList{"card", "last", "first", "extra"}));
            QCOMPARE(comboItems(first),
                     (QStringList{"Column 0", "Column 1", "Column 2", "Column 3"}));
            QCOMPARE(first->currentIndex(), 1);
            first->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            QCOMPARE(rowTexts(item<QTreeWidget>(w->currentPage(), IDC_IMPORT_TXT_OVERVIEW), 2),
                     (QStringList{"Column 2", "First Name"}));
        }));

        QVERIFY(runStatements("changing.db", {"create table m(card text, last text, first text)"})
                    .isEmpty());
        CAppSettings::instance().ImportDB = TestWorld::instance()->sqliteConnection("changing.db");
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            click(w, QWizard::NextButton);
            QWizardPage* page = w->currentPage();
            auto* table = item<QComboBox>(page, IDC_IMPORT_DB_TABLE);
            auto* mediaId = item<QComboBox>(page, IDC_IMPORT_DB_MEDIAID);
            QCOMPARE(comboItems(table), QStringList{"m"});
            table->setCurrentIndex(0);
            mediaId->setCurrentIndex(0);
            item<QComboBox>(page, IDC_IMPORT_DB_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(page, IDC_IMPORT_DB_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            QVERIFY(runStatements("changing.db", {"create table z(a text)"}).isEmpty());
            click(w, QWizard::BackButton);
            QCOMPARE(comboItems(table), (QStringList{"m", "z"}));
            QCOMPARE(table->currentText(), QStringLiteral("m"));
            QCOMPARE(mediaId->currentText(), QStringLiteral("card"));
            // The remembered table made again, now listed after the other: the remembered place
            // names another table, and the column lists are that table's, nothing chosen.
            click(w, QWizard::NextButton);
            QVERIFY(
                runStatements("changing.db", {"drop table m", "create table m(q text)"}).isEmpty());
            click(w, QWizard::BackButton);
            QCOMPARE(comboItems(table), (QStringList{"z", "m"}));
            QCOMPARE(table->currentText(), QStringLiteral("z"));
            QCOMPARE(comboItems(mediaId), QStringList{"a"});
            QCOMPARE(mediaId->currentIndex(), -1);
            QVERIFY2(m_prompts.stops.isEmpty(), qPrintable(m_prompts.stops.join('\n')));
        }));
    }

    // Names from the schema lists are always delimited: a table "index" with columns "key",
    // "index", "user" and one with a quote in its name is imported, not refused as syntax.
    void databaseWizardQuotesSchemaNames() {
        QVERIFY(runStatements("reserved.db",
                              {"create table \"index\"(\"key\" text, \"index\" text, \"user\" "
                               "text, \"we\"\"ird\" text)",
                               "insert into \"index\" values('1a2b3c4d', 'Kos', 'x', 'Ana')"})
                    .isEmpty());
        CAppSettings::instance().ImportDB = TestWorld::instance()->sqliteConnection("reserved.db");
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            click(w, QWizard::NextButton);
            QWizardPage* page = w->currentPage();
            item<QComboBox>(page, IDC_IMPORT_DB_TABLE)->setCurrentIndex(0);
            auto* mediaId = item<QComboBox>(page, IDC_IMPORT_DB_MEDIAID);
            QCOMPARE(comboItems(mediaId), (QStringList{"key", "index", "user", "we\"ird"}));
            mediaId->setCurrentIndex(0);
            item<QComboBox>(page, IDC_IMPORT_DB_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(page, IDC_IMPORT_DB_FIRSTNAME)->setCurrentIndex(3);
            click(w, QWizard::NextButton);
            click(w, QWizard::FinishButton);
        }));
        QVERIFY2(m_prompts.stops.isEmpty(), qPrintable(m_prompts.stops.join('\n')));
        QCOMPARE(m_prompts.informations, QStringList{"Total found: 1\nImported: 1"});
        const CEmpRecord* added = m_doc->FindEmployee(*NormalizeMediaId("1A2B3C4D", MediaIButton));
        QVERIFY(added);
        QCOMPARE(added->LastName, std::string("Kos"));
        QCOMPARE(added->FirstName, std::string("Ana"));
    }

    // A database another program holds locked: each connection of the wizard and of the import
    // gives up within its limits instead of waiting for the lock.
    void databaseWizardGivesUpOnALockedDatabase() {
        QVERIFY(runStatements("locked.db", {"create table t(card text, last text, first text)",
                                            "insert into t values('1a2b3c4d', 'Kos', 'Ana')"})
                    .isEmpty());
        CAppSettings::instance().ImportDB = TestWorld::instance()->sqliteConnection("locked.db");
        m_commands->setWaitLimits({2000ms, 1});
        constexpr qint64 kWithin = 4000;
        std::optional<DatabaseLock> lock;
        QElapsedTimer clock;
        qint64 finishedIn = -1;
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            lock.emplace("locked.db");
            QVERIFY(lock->locked());
            clock.start();
            click(w, QWizard::NextButton);
            QVERIFY2(clock.elapsed() < kWithin, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(m_prompts.stops, QStringList{"Unable to connect to database."});
            QCOMPARE(w->currentId(), 1);

            lock.reset();
            click(w, QWizard::NextButton);
            QWizardPage* page = w->currentPage();
            auto* table = item<QComboBox>(page, IDC_IMPORT_DB_TABLE);
            auto* mediaId = item<QComboBox>(page, IDC_IMPORT_DB_MEDIAID);
            QCOMPARE(comboItems(table), QStringList{"t"});
            // The column list of a table chosen while the file is locked: given up in time, and
            // the reason shown.
            lock.emplace("locked.db");
            clock.restart();
            table->setCurrentIndex(0);
            QVERIFY2(clock.elapsed() < kWithin, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(m_prompts.stops.size(), 2);
            QVERIFY2(m_prompts.stops[1].startsWith(QStringLiteral("Database error:\n\n")) &&
                         m_prompts.stops[1].contains(QStringLiteral("database is locked")),
                     qPrintable(m_prompts.stops[1]));
            QCOMPARE(mediaId->count(), 0);
            lock.reset();
            table->setCurrentIndex(-1);
            table->setCurrentIndex(0);
            QCOMPARE(comboItems(mediaId), (QStringList{"card", "last", "first"}));
            mediaId->setCurrentIndex(0);
            item<QComboBox>(page, IDC_IMPORT_DB_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(page, IDC_IMPORT_DB_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);

            // The table list, read again on the way back, waits no longer than its limit.
            lock.emplace("locked.db");
            clock.restart();
            click(w, QWizard::BackButton);
            QVERIFY2(clock.elapsed() < kWithin, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(w->currentId(), 2);
        }));

        // The import itself, from Finish.
        m_prompts.stops.clear();
        lock.reset();
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            click(w, QWizard::NextButton);
            QWizardPage* page = w->currentPage();
            item<QComboBox>(page, IDC_IMPORT_DB_TABLE)->setCurrentIndex(0);
            item<QComboBox>(page, IDC_IMPORT_DB_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(page, IDC_IMPORT_DB_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(page, IDC_IMPORT_DB_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            lock.emplace("locked.db");
            clock.restart();
            click(w, QWizard::FinishButton);
        }));
        finishedIn = clock.elapsed();
        lock.reset();
        QVERIFY2(finishedIn < kWithin, qPrintable(QString::number(finishedIn)));
        QCOMPARE(m_prompts.stops.size(), 1);
        QVERIFY2(
            m_prompts.stops[0].startsWith(QStringLiteral("Database error:\n\nQuery = select ")) &&
                m_prompts.stops[0].contains(QStringLiteral("database is locked")),
            qPrintable(m_prompts.stops[0]));
        QVERIFY(m_doc->Employees().empty());
        qInfo("a locked database given up within %lld ms of Finish", finishedIn);
    }

    // Cancel in the progress window ends an import between rows; the rows read stay imported
    // and the message says how far it got.
    void databaseImportCancelKeepsTheRowsRead() {
        // Rows made as they are read, every tenth with a card: far more than the test waits for.
        QVERIFY(runStatements("endless.db",
                              {"create view staff as with recursive n(i) as (select 1 union all "
                               "select i + 1 from n where i < 1000000) select case when i % 10 = "
                               "0 then printf('%08X', i) else '' end as card, 'Last' as last, "
                               "'First' as first from n"})
                    .isEmpty());
        CAppSettings::instance().ImportDB =
            TestWorld::instance()->sqliteConnection("endless.db") + QStringLiteral(";StepAPI=1");
        bool cancelShown = false;
        QTimer pressCancel;
        pressCancel.setInterval(10);
        connect(&pressCancel, &QTimer::timeout, this, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<CImportProgressDlg*>(top);
                // Pressed once a good number of rows is in.
                if (!progress || !progress->isVisible() ||
                    numbersIn(progress->text()).value(0) < 10000)
                    continue;
                pressCancel.stop();
                cancelShown = QApplication::activeModalWidget() == progress;
                QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
            }
        });
        QElapsedTimer clock;
        QVERIFY(run<CPS_ImportUsersDB>(ID_FILE_IMPORT_DB, [&](CPS_ImportUsersDB* w) {
            click(w, QWizard::NextButton);
            click(w, QWizard::NextButton);
            QWizardPage* page = w->currentPage();
            item<QComboBox>(page, IDC_IMPORT_DB_TABLE)->setCurrentIndex(0);
            item<QComboBox>(page, IDC_IMPORT_DB_MEDIAID)->setCurrentIndex(0);
            item<QComboBox>(page, IDC_IMPORT_DB_LASTNAME)->setCurrentIndex(1);
            item<QComboBox>(page, IDC_IMPORT_DB_FIRSTNAME)->setCurrentIndex(2);
            click(w, QWizard::NextButton);
            pressCancel.start();
            clock.start();
            click(w, QWizard::FinishButton);
        }));
        const qint64 ms = clock.elapsed();
        QVERIFY(cancelShown);
        QCOMPARE(m_prompts.informations.size(), 1);
        const QString message = m_prompts.informations[0];
        QVERIFY2(message.startsWith(QStringLiteral("The import was cancelled after ")),
                 qPrintable(message));
        const QList<int> numbers = numbersIn(message);
        QCOMPARE(numbers.size(), 3);
        const int read = numbers[0], imported = numbers[2];
        QCOMPARE(numbers[1], 1000000);
        QVERIFY2(read >= 10000 && read < 1000000, qPrintable(message));
        QCOMPARE(imported, read / 10);
        QCOMPARE(m_doc->Employees().size(), std::size_t(imported));
        QVERIFY(m_doc->IsModified());
        qInfo("cancelled after %d rows, %lld ms after Finish", read, ms);
    }
};

TARVEX_TEST_MAIN(TestImportWizards)
#include "tst_importwizards.moc"

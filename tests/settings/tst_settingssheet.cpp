// The settings sheet opened by the Settings command of the running program: its pages, their
// lists from the photo database, OK's steps and Cancel.
#include "../intake/form/intakeworld.h"

#include "adodatabase.h"
#include "applinkcheck.h"
#include "catalogue.h"
#include "commandmanager.h"
#include "connectiondlg.h"
#include "dbfixture.h"
#include "ppmisc.h"
#include "ppmorrowreportsdb.h"
#include "ppphoto.h"
#include "pssettings.h"
#include "resourceids.h"
#include "settingsstore.h"
#include "skin.h"
#include "vr12simulator.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>

using namespace res;

namespace {
template <class W> W* item(QWidget* page, int id) {
    return page->findChild<W*>(QString::number(id));
}

template <class D> void whenShown(const std::function<void(D*)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(dialog);
        // A failed check leaves the dialog open: end it so the test can report.
        if (dialog->isVisible())
            dialog->reject();
    });
}

QStringList entries(QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

QString conn(const char* file) {
    return TestWorld::instance()->sqliteConnection(QString::fromLatin1(file));
}

QVariant stored(const QString& name) {
    return CAppSettings::openStore()->value(QStringLiteral("Settings/") + name);
}

// Starts every case from the same stored settings.
void storeSettings(const QVariantMap& values) {
    auto store = CAppSettings::openStore();
    store->remove(QStringLiteral("Settings"));
    for (auto it = values.begin(); it != values.end(); ++it)
        store->setValue(QStringLiteral("Settings/") + it.key(), it.value());
    store->sync();
}
} // namespace

class TestSettingsSheet : public QObject {
    Q_OBJECT

    ScriptedPrompts m_prompts;
    std::unique_ptr<CTarvexApp> m_app;

    QString folder(const QString& name) {
        const QString path = TestWorld::instance()->path(name);
        QDir().mkpath(path);
        return path;
    }

    bool start(const QVariantMap& values) {
        storeSettings(values);
        m_prompts = ScriptedPrompts();
        m_app = std::make_unique<CTarvexApp>();
        m_app->setProgramFolder(folder(QStringLiteral("program")));
        m_app->setArguments({});
        m_app->setPrompts(&m_prompts);
        return m_app->InitInstance();
    }

    void runSheet(const std::function<void(CPS_Settings*)>& act) {
        whenShown<CPS_Settings>(act);
        QVERIFY(m_app->mainFrame()->commands().execute(ID_VIEW_SETTINGS));
    }

private slots:
    void initTestCase() {
        QCOMPARE(runStatements("photo1.db",
                               {"create table staff(media text, last text, first text, pic blob)",
                                "create table cars(plate text)",
                                "create view people as select last, first from staff"}),
                 QString());
        QCOMPARE(runStatements("photo2.db", {"create table portraits(mid text, img blob)"}),
                 QString());
        QCOMPARE(runStatements("reports.db", {"create table regs(x text)"}), QString());
    }

    void cleanup() {
        if (m_app)
            m_app->ExitInstance();
        m_app.reset();
    }

    void pagesInOrderWithTheirControls() {
        QVERIFY(start({}));
        runSheet([](CPS_Settings* sheet) {
            QCOMPARE(sheet->windowTitle(), QStringLiteral("Settings"));
            QTabWidget* tabs = sheet->tabs();
            QCOMPARE(tabs->count(), 3);
            QCOMPARE(tabs->tabText(0), QStringLiteral("MorrowReports"));
            QCOMPARE(tabs->tabText(1), QStringLiteral("Photograph"));
            QCOMPARE(tabs->tabText(2), QStringLiteral("Misc"));
            auto* reports = sheet->reportsPage();
            QCOMPARE(item<QCheckBox>(reports, IDC_USE_MRDB)->text(),
                     QStringLiteral("&Write registrations to MorrowReports database"));
            // The edit and its button follow the check.
            QVERIFY(!item<QPlainTextEdit>(reports, IDC_MRDB)->isEnabled());
            item<QCheckBox>(reports, IDC_USE_MRDB)->click();
            QVERIFY(item<QPlainTextEdit>(reports, IDC_MRDB)->isEnabled());
            QVERIFY(item<QPushButton>(reports, IDC_MRDB_DATABASE)->isEnabled());
            tabs->setCurrentIndex(2);
            auto* misc = sheet->miscPage();
            QCOMPARE(item<QRadioButton>(misc, IDC_STYLE_2003)->text(),
                     QStringLiteral("Office &2003"));
            // The auto-load controls exist but are not shown.
            QVERIFY(item<QCheckBox>(misc, IDC_AUTOLOAD));
            QVERIFY(!item<QCheckBox>(misc, IDC_AUTOLOAD)->isVisible());
            QVERIFY(!item<QLineEdit>(misc, IDC_AUTOLOADFILE)->isVisible());
            QVERIFY(item<QLineEdit>(misc, IDC_REGFILEPATH)->isVisible());
            sheet->reject();
        });
    }

    // The link check's minutes, labelled, on the Misc page; the running program takes them up.
    void linkCheckMinutesOnTheMiscPage() {
        using namespace std::chrono_literals;
        QVERIFY(start({{"LinkCheckMinutes", 7}}));
        CLinkChecker& checker = m_app->linkCheck()->checker();
        QCOMPARE(checker.interval(), std::chrono::milliseconds(7min));
        runSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(2);
            auto* spin = item<QSpinBox>(sheet->miscPage(), IDC_LINKCHECK_MINUTES);
            QVERIFY(spin && spin->isVisible());
            QCOMPARE(spin->value(), 7);
            const QList<QLabel*> labels = sheet->miscPage()->findChildren<QLabel*>();
            const auto label = std::find_if(labels.begin(), labels.end(),
                                            [&](QLabel* l) { return l->buddy() == spin; });
            QVERIFY(label != labels.end());
            QCOMPARE((*label)->text(),
                     QStringLiteral("&Link check after so many minutes of silence"));
            spin->setValue(0);
            QCOMPARE(spin->text(), QStringLiteral("off"));
            sheet->accept();
        });
        QCOMPARE(stored("LinkCheckMinutes").toInt(), 0);
        QCOMPARE(checker.interval(), 0ms);
    }

    void cancelChangesNothing() {
        const QString regs = folder(QStringLiteral("regs"));
        QVERIFY(start({{"RegFilePath", regs},
                       {"VisualStyle", 1},
                       {"MRDB", "DSN=old"},
                       {"PhotoTable", "staff"},
                       {"AutoLoad", 2},
                       {"AutoLoadFile", "/w.VR-12"}}));
        const int saves = int(m_app->trace().count(QStringLiteral("SaveSettings")));
        const auto before = CAppSettings::instance().values();
        runSheet([&](CPS_Settings* sheet) {
            item<QCheckBox>(sheet->reportsPage(), IDC_USE_MRDB)->click();
            item<QPlainTextEdit>(sheet->reportsPage(), IDC_MRDB)->setPlainText(conn("reports.db"));
            sheet->tabs()->setCurrentIndex(1);
            item<QCheckBox>(sheet->photoPage(), IDC_USE_PHOTO)->click();
            sheet->tabs()->setCurrentIndex(2);
            typeInto(item<QLineEdit>(sheet->miscPage(), IDC_REGFILEPATH), folder("elsewhere"));
            item<QRadioButton>(sheet->miscPage(), IDC_STYLE_SIMPLE)->click();
            sheet->reject();
        });
        QVERIFY(CAppSettings::instance().values() == before);
        QCOMPARE(m_app->trace().count(QStringLiteral("SaveSettings")), saves);
        QCOMPARE(CSkin::current(), 1);
        QCOMPARE(stored("MRDB").toString(), QStringLiteral("DSN=old"));
        QVERIFY(!m_app->reportingDatabase()->IsOpen());
    }

    void okWithoutOpeningThePagesKeepsTheirValues() {
        const QString regs = folder(QStringLiteral("regs"));
        QVERIFY(start({{"RegFilePath", regs},
                       {"VisualStyle", 1},
                       {"UsePhoto", 0},
                       {"PhotoDB", "DSN=photos"},
                       {"PhotoTable", "staff"},
                       {"PhotoLastName", "last"},
                       {"PhotoFirstName", "first"},
                       {"PhotoMediaID", "media"},
                       {"PhotoPhoto", "pic"},
                       {"AutoLoad", 2},
                       {"AutoLoadFile", "/w.VR-12"}}));
        runSheet([&](CPS_Settings* sheet) {
            item<QCheckBox>(sheet->reportsPage(), IDC_USE_MRDB)->click();
            item<QPlainTextEdit>(sheet->reportsPage(), IDC_MRDB)->setPlainText(conn("reports.db"));
            sheet->accept();
        });
        QVERIFY(m_prompts.stops.isEmpty());
        QCOMPARE(stored("UseMRDB").toInt(), 1);
        QCOMPARE(stored("MRDB").toString(), conn("reports.db"));
        QVERIFY(m_app->reportingDatabase()->IsOpen());
        QCOMPARE(stored("RegFilePath").toString(), regs);
        QCOMPARE(stored("VisualStyle").toInt(), 1);
        QCOMPARE(stored("AutoLoad").toInt(), 1);
        QCOMPARE(stored("AutoLoadFile").toString(), QStringLiteral("/w.VR-12"));
        QCOMPARE(stored("PhotoDB").toString(), QStringLiteral("DSN=photos"));
        QCOMPARE(stored("PhotoTable").toString(), QStringLiteral("staff"));
        QCOMPARE(stored("PhotoLastName").toString(), QStringLiteral("last"));
        QCOMPARE(stored("PhotoFirstName").toString(), QStringLiteral("first"));
        QCOMPARE(stored("PhotoMediaID").toString(), QStringLiteral("media"));
        QCOMPARE(stored("PhotoPhoto").toString(), QStringLiteral("pic"));
    }

    void photoListsComeFromTheSchema() {
        QVERIFY(start({{"UsePhoto", 0}, {"PhotoDB", conn("photo1.db")}}));
        runSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(1);
            CPP_Photo* page = sheet->photoPage();
            auto* tables = item<QComboBox>(page, IDC_PHOTO_TABLE);
            const QList<QWidget*> followers = {item<QPlainTextEdit>(page, IDC_PHOTODB),
                                               item<QPushButton>(page, IDC_PHOTODB_DATABASE),
                                               tables,
                                               item<QComboBox>(page, IDC_PHOTO_LASTNAME),
                                               item<QComboBox>(page, IDC_PHOTO_FIRSTNAME),
                                               item<QComboBox>(page, IDC_PHOTO_MEDIAID),
                                               item<QComboBox>(page, IDC_PHOTO_PHOTO)};
            for (QWidget* w : followers)
                QVERIFY(!w->isEnabled());
            // Ticking enables them and fills nothing; the list fills when it drops down.
            item<QCheckBox>(page, IDC_USE_PHOTO)->click();
            for (QWidget* w : followers)
                QVERIFY(w->isEnabled());
            QCOMPARE(tables->count(), 0);
            QVERIFY(page->m_tableListStale);
            tables->showPopup();
            tables->hidePopup();
            QVERIFY(!page->m_tableListStale);
            QCOMPARE(entries(tables), QStringList({"cars", "people", "staff"}));
            QCOMPARE(tables->currentText(), QString());
            // Choosing a table fills the four column lists with its columns.
            tables->setCurrentIndex(tables->findText(QStringLiteral("staff")));
            emit tables->activated(tables->currentIndex());
            auto* mediaId = item<QComboBox>(page, IDC_PHOTO_MEDIAID);
            QCOMPARE(entries(mediaId), QStringList({"first", "last", "media", "pic"}));
            QCOMPARE(entries(item<QComboBox>(page, IDC_PHOTO_PHOTO)), entries(mediaId));
            mediaId->setCurrentIndex(mediaId->findText(QStringLiteral("media")));
            auto* last = item<QComboBox>(page, IDC_PHOTO_LASTNAME);
            last->setCurrentIndex(last->findText(QStringLiteral("last")));
            auto* first = item<QComboBox>(page, IDC_PHOTO_FIRSTNAME);
            first->lineEdit()->setFocus();
            first->setCurrentIndex(first->findText(QStringLiteral("first")));
            auto* photo = item<QComboBox>(page, IDC_PHOTO_PHOTO);
            photo->setCurrentIndex(photo->findText(QStringLiteral("pic")));
            sheet->accept();
        });
        QVERIFY2(m_prompts.stops.isEmpty(), qPrintable(m_prompts.stops.join('\n')));
        const CAppSettings& s = CAppSettings::instance();
        QVERIFY(s.UsePhoto);
        QCOMPARE(s.PhotoTable, QStringLiteral("staff"));
        QCOMPARE(s.PhotoMediaID, QStringLiteral("media"));
        QCOMPARE(s.PhotoLastName, QStringLiteral("last"));
        QCOMPARE(s.PhotoFirstName, QStringLiteral("first"));
        QCOMPARE(s.PhotoPhoto, QStringLiteral("pic"));
        QCOMPARE(stored("UsePhoto").toInt(), 1);
        QVERIFY(m_app->photoDatabase()->IsOpen());

        // Opened again, the page fills its lists at once and shows the stored names; a table
        // typed that is not in the list is kept and fills no column list.
        runSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(1);
            CPP_Photo* page = sheet->photoPage();
            auto* tables = item<QComboBox>(page, IDC_PHOTO_TABLE);
            QCOMPARE(tables->count(), 3);
            QCOMPARE(tables->currentText(), QStringLiteral("staff"));
            auto* mediaId = item<QComboBox>(page, IDC_PHOTO_MEDIAID);
            QCOMPARE(mediaId->count(), 4);
            QCOMPARE(mediaId->currentText(), QStringLiteral("media"));
            QCOMPARE(item<QComboBox>(page, IDC_PHOTO_PHOTO)->currentText(), QStringLiteral("pic"));
            typeInto(tables->lineEdit(), QStringLiteral("archive"));
            QCOMPARE(mediaId->count(), 4);
            sheet->accept();
        });
        QCOMPARE(stored("PhotoTable").toString(), QStringLiteral("archive"));
        QCOMPARE(stored("PhotoMediaID").toString(), QStringLiteral("media"));
    }

    void anotherPhotoDatabaseRefillsTheLists() {
        QVERIFY(start({{"UsePhoto", 1},
                       {"PhotoDB", conn("photo1.db")},
                       {"PhotoTable", "staff"},
                       {"PhotoMediaID", "media"}}));
        runSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(1);
            CPP_Photo* page = sheet->photoPage();
            auto* mediaId = item<QComboBox>(page, IDC_PHOTO_MEDIAID);
            QCOMPARE(mediaId->currentText(), QStringLiteral("media"));
            whenShown<CConnectionDlg>([](CConnectionDlg* dlg) {
                // The prompt starts from the page's string.
                QCOMPARE(item<QLineEdit>(dlg, IDC_DL_DATABASE)->text(),
                         TestWorld::instance()->path("photo1.db"));
                typeInto(item<QLineEdit>(dlg, IDC_DL_DATABASE),
                         TestWorld::instance()->path("photo2.db"));
                dlg->accept();
            });
            item<QPushButton>(page, IDC_PHOTODB_DATABASE)->click();
            QCOMPARE(item<QPlainTextEdit>(page, IDC_PHOTODB)->toPlainText(), conn("photo2.db"));
            QCOMPARE(entries(item<QComboBox>(page, IDC_PHOTO_TABLE)), QStringList({"portraits"}));
            for (int id :
                 {IDC_PHOTO_LASTNAME, IDC_PHOTO_FIRSTNAME, IDC_PHOTO_MEDIAID, IDC_PHOTO_PHOTO})
                QCOMPARE(item<QComboBox>(page, id)->currentText(), QString());
            // A cancelled prompt leaves the string.
            whenShown<CConnectionDlg>([](CConnectionDlg* dlg) { dlg->reject(); });
            item<QPushButton>(page, IDC_PHOTODB_DATABASE)->click();
            QCOMPARE(item<QPlainTextEdit>(page, IDC_PHOTODB)->toPlainText(), conn("photo2.db"));
            sheet->accept();
        });
        QCOMPARE(stored("PhotoDB").toString(), conn("photo2.db"));
        QCOMPARE(stored("PhotoMediaID").toString(), QString());
    }

    // The table box only suggests: a typed name that starts a listed one (as "portrait" starts
    // "portraits") stays as typed, Enter does not take the listed one nor fill the column lists
    // with its columns, and OK stores what was typed. A column box takes the entry chosen from
    // its list, and what is typed when nothing is chosen.
    void typedPhotoNamesAreKept() {
        QCOMPARE(runStatements("photo3.db", {"create table people(mid text, last text)",
                                             "create table portraits(id text, img blob)"}),
                 QString());
        QVERIFY(start({{"UsePhoto", 1},
                       {"PhotoDB", conn("photo3.db")},
                       {"PhotoTable", "people"},
                       {"PhotoMediaID", "mid"}}));
        runSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(1);
            CPP_Photo* page = sheet->photoPage();
            auto* tables = item<QComboBox>(page, IDC_PHOTO_TABLE);
            auto* mediaId = item<QComboBox>(page, IDC_PHOTO_MEDIAID);
            QCOMPARE(entries(tables), QStringList({"people", "portraits"}));
            QCOMPARE(entries(mediaId), QStringList({"last", "mid"}));
            // Typed as a user types: into the focused box of the active window.
            sheet->activateWindow();
            QApplication::setActiveWindow(sheet);
            tables->lineEdit()->setFocus();
            QTRY_VERIFY(tables->lineEdit()->hasFocus());
            typeInto(tables->lineEdit(), QStringLiteral("portrait"));
            QCOMPARE(tables->currentText(), QStringLiteral("portrait"));
            QTest::keyClick(tables->lineEdit(), Qt::Key_Return);
            QCOMPARE(tables->currentText(), QStringLiteral("portrait"));
            QCOMPARE(entries(mediaId), QStringList({"last", "mid"}));
            // The case typed is kept as well.
            auto* last = item<QComboBox>(page, IDC_PHOTO_LASTNAME);
            last->lineEdit()->setFocus();
            typeInto(last->lineEdit(), QStringLiteral("LAST"));
            QTest::keyClick(last->lineEdit(), Qt::Key_Return);
            QCOMPARE(last->currentText(), QStringLiteral("LAST"));
            // Chosen from the list, then typed over: the typed text counts.
            auto* first = item<QComboBox>(page, IDC_PHOTO_FIRSTNAME);
            first->lineEdit()->setFocus();
            first->setCurrentIndex(first->findText(QStringLiteral("mid")));
            emit first->activated(first->currentIndex());
            QTest::keyClick(first->lineEdit(), Qt::Key_End);
            QTest::keyClicks(first->lineEdit(), QStringLiteral("2"));
            QCOMPARE(first->currentIndex(), -1);
            QCOMPARE(first->currentText(), QStringLiteral("mid2"));
            auto* photo = item<QComboBox>(page, IDC_PHOTO_PHOTO);
            photo->setCurrentIndex(photo->findText(QStringLiteral("last")));
            emit photo->activated(photo->currentIndex());
            sheet->accept();
        });
        QCOMPARE(stored("PhotoTable").toString(), QStringLiteral("portrait"));
        QCOMPARE(stored("PhotoLastName").toString(), QStringLiteral("LAST"));
        QCOMPARE(stored("PhotoFirstName").toString(), QStringLiteral("mid2"));
        QCOMPARE(stored("PhotoMediaID").toString(), QStringLiteral("mid"));
        QCOMPARE(stored("PhotoPhoto").toString(), QStringLiteral("last"));
    }

    void unreachablePhotoDatabaseWhileFillingLists() {
        QVERIFY(start({{"UsePhoto", 0}, {"PhotoDB", conn("missing.db")}}));
        runSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(1);
            CPP_Photo* page = sheet->photoPage();
            item<QCheckBox>(page, IDC_USE_PHOTO)->click();
            auto* tables = item<QComboBox>(page, IDC_PHOTO_TABLE);
            tables->showPopup();
            tables->hidePopup();
            QCOMPARE(m_prompts.stops, QStringList({"Unable to connect to source database."}));
            QCOMPARE(tables->count(), 0);
            // The flag is cleared even so: the next drop-down does not ask again.
            tables->showPopup();
            tables->hidePopup();
            QCOMPARE(m_prompts.stops.size(), 1);
            sheet->reject();
        });
    }

    void reportingDatabaseChosenInThePrompt() {
        QVERIFY(start({{"UseMRDB", 0}}));
        runSheet([&](CPS_Settings* sheet) {
            CPP_MorrowReportsDB* page = sheet->reportsPage();
            item<QCheckBox>(page, IDC_USE_MRDB)->click();
            auto* edit = item<QPlainTextEdit>(page, IDC_MRDB);
            // An empty string asks for a new connection; a cancelled one leaves the text.
            whenShown<CConnectionDlg>([](CConnectionDlg* dlg) {
                QCOMPARE(dlg->connectionString(), QString());
                typeInto(item<QLineEdit>(dlg, IDC_DL_SERVER), QStringLiteral("never"));
                dlg->reject();
            });
            item<QPushButton>(page, IDC_MRDB_DATABASE)->click();
            QCOMPARE(edit->toPlainText(), QString());
            whenShown<CConnectionDlg>([](CConnectionDlg* dlg) {
                auto* drivers = item<QComboBox>(dlg, IDC_DL_DRIVER);
                drivers->setCurrentIndex(drivers->findText(QStringLiteral("SQLite3")));
                typeInto(item<QLineEdit>(dlg, IDC_DL_DATABASE),
                         TestWorld::instance()->path("reports.db"));
                dlg->accept();
            });
            item<QPushButton>(page, IDC_MRDB_DATABASE)->click();
            QCOMPARE(edit->toPlainText(), conn("reports.db"));
            sheet->accept();
        });
        QVERIFY(m_prompts.stops.isEmpty());
        QCOMPARE(stored("MRDB").toString(), conn("reports.db"));
        QVERIFY(m_app->reportingDatabase()->IsOpen());
    }

    // The command's form is chosen from the keyboard beside its label, only while reporting is
    // on; OK stores it and starts the report queue on the connection, Cancel keeps the old form.
    void commandFormIsChosenOnTheReportingPage() {
        QVERIFY(start({{"MRDBCall", "exec"}}));
        QVERIFY(!m_app->reporting()->running());
        runSheet([&](CPS_Settings* sheet) {
            CPP_MorrowReportsDB* page = sheet->reportsPage();
            QComboBox* form = page->callForm();
            QVERIFY(form);
            QCOMPARE(form->currentData().toString(), QStringLiteral("exec"));
            QCOMPARE(form->count(), 2);
            const auto labels = page->findChildren<QLabel*>();
            const auto buddy = std::find_if(labels.begin(), labels.end(),
                                            [&](QLabel* l) { return l->buddy() == form; });
            QVERIFY(buddy != labels.end());
            QCOMPARE((*buddy)->text(), S(IDS_MRDBCALL_LABEL));
            QCOMPARE(form->accessibleName(), QString(S(IDS_MRDBCALL_LABEL)).remove('&'));
            QVERIFY(!form->isEnabled());
            item<QCheckBox>(page, IDC_USE_MRDB)->click();
            QVERIFY(form->isEnabled());
            item<QPlainTextEdit>(page, IDC_MRDB)->setPlainText(conn("reports.db"));
            form->setFocus();
            QTest::keyClick(form, Qt::Key_Down);
            QCOMPARE(form->currentData().toString(), QStringLiteral("call"));
            sheet->accept();
        });
        QVERIFY2(m_prompts.stops.isEmpty(), qPrintable(m_prompts.stops.join('\n')));
        QCOMPARE(stored("MRDBCall").toString(), QStringLiteral("call"));
        QCOMPARE(CAppSettings::instance().MRDBCall, QStringLiteral("call"));
        QVERIFY(m_app->reporting()->running());
        runSheet([&](CPS_Settings* sheet) {
            QComboBox* form = sheet->reportsPage()->callForm();
            QCOMPARE(form->currentData().toString(), QStringLiteral("call"));
            QTest::keyClick(form, Qt::Key_Up);
            sheet->reject();
        });
        QCOMPARE(stored("MRDBCall").toString(), QStringLiteral("call"));
    }

    // Told at once, and left on: the report queue keeps the registrations until it answers.
    void unreachableReportingDatabaseStaysOn() {
        QVERIFY(start({}));
        runSheet([&](CPS_Settings* sheet) {
            item<QCheckBox>(sheet->reportsPage(), IDC_USE_MRDB)->click();
            item<QPlainTextEdit>(sheet->reportsPage(), IDC_MRDB)->setPlainText(conn("gone.db"));
            sheet->accept();
        });
        QCOMPARE(m_prompts.stops.size(), 1);
        QVERIFY2(m_prompts.stops.first().startsWith(
                     QLatin1String("Unable to open MorrowReports database.\n\nError: ")),
                 qPrintable(m_prompts.stops.first()));
        QVERIFY(m_prompts.stops.first().contains(QLatin1String("gone.db")));
        QCOMPARE(stored("UseMRDB").toInt(), 1);
        QCOMPARE(stored("MRDB").toString(), conn("gone.db"));
        QVERIFY(m_app->reporting()->running());
    }

    void registrationsFolderThatCannotBeWritten() {
        const QString regs = folder(QStringLiteral("regs"));
        QVERIFY(start({{"RegFilePath", regs}, {"VisualStyle", 0}}));
        const QString aFile = TestWorld::instance()->path("plain.txt");
        QFile(aFile).open(QIODevice::WriteOnly);
        const QString target = folder(QStringLiteral("target"));
        runSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(2);
            auto* edit = item<QLineEdit>(sheet->miscPage(), IDC_REGFILEPATH);
            QCOMPARE(edit->text(), regs);
            const QList<std::pair<QString, QString>> refused = {
                {TestWorld::instance()->path("no/such"), "The folder does not exist."},
                {aFile, "This is a file, not a folder."},
                {QStringLiteral("/proc"), "No file can be created in it ("},
                {QString(), "No folder is given."}};
            for (const auto& [path, reason] : refused) {
                m_prompts.stops.clear();
                sheet->tabs()->setCurrentIndex(0);
                typeInto(edit, path);
                sheet->accept();
                QVERIFY(sheet->isVisible());
                QCOMPARE(sheet->tabs()->currentWidget(), sheet->miscPage());
                QCOMPARE(m_prompts.stops.size(), 1);
                const QString expected =
                    QStringLiteral("Registrations cannot be written to the folder \"%1\".\n\n%2")
                        .arg(path, reason);
                QVERIFY2(m_prompts.stops.first().startsWith(expected),
                         qPrintable(m_prompts.stops.first() + QStringLiteral(" <> ") + expected));
            }
            m_prompts.stops.clear();
            typeInto(edit, target);
            item<QRadioButton>(sheet->miscPage(), IDC_STYLE_SIMPLE)->click();
            sheet->accept();
            QVERIFY(!sheet->isVisible());
        });
        QVERIFY(m_prompts.stops.isEmpty());
        QCOMPARE(CAppSettings::instance().RegFilePath, target);
        QCOMPARE(stored("RegFilePath").toString(), target);
        QCOMPARE(stored("VisualStyle").toInt(), 2);
        QCOMPARE(CSkin::current(), 2);
    }

    void folderPickedWithTheFolderDialog() {
        const QString regs = folder(QStringLiteral("regs"));
        QVERIFY(start({{"RegFilePath", regs}}));
        const QString picked = folder(QStringLiteral("picked"));
        QString startedIn;
        runSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(2);
            auto* edit = item<QLineEdit>(sheet->miscPage(), IDC_REGFILEPATH);
            auto* browse = item<QPushButton>(sheet->miscPage(), IDC_REGFILEPATH_BROWSE);
            whenShown<QFileDialog>([&](QFileDialog* dialog) {
                startedIn = dialog->directory().absolutePath();
                QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
                dialog->setDirectory(picked);
                static_cast<QDialog*>(dialog)->accept();
            });
            browse->click();
            QCOMPARE(edit->text(), picked);
            // A folder nobody can write into is said so and not taken.
            whenShown<QFileDialog>([](QFileDialog* dialog) {
                // Not /proc: the dialog reads the files it lists, and some there never end.
                dialog->setDirectory(QStringLiteral("/proc/sys/fs"));
                static_cast<QDialog*>(dialog)->accept();
            });
            browse->click();
            QCOMPARE(m_prompts.stops.size(), 1);
            QVERIFY(m_prompts.stops.first().contains(QLatin1String("\"/proc/sys/fs\"")));
            QCOMPARE(edit->text(), picked);
            // Cancelled, the text stays.
            whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
            browse->click();
            QCOMPARE(edit->text(), picked);
            sheet->accept();
        });
        QCOMPARE(startedIn, regs);
        QCOMPARE(stored("RegFilePath").toString(), picked);
    }

    // A change through the store, without the sheet: each follower takes up only what it
    // follows, and the settings are saved.
    void followersTakeUpWhatChangesThroughTheStore() {
        QVERIFY(start({{"VisualStyle", 0}}));
        const auto count = [&](const char* step) {
            return int(m_app->trace().count(QLatin1String(step)));
        };
        const int saves = count("SaveSettings");
        const int reports = count("ReopenMRDatabase");
        const int photos = count("ReopenPhotoDB");
        CAppSettings edited = CAppSettings::instance();
        edited.VisualStyle = 2;
        edited.MRDB = QStringLiteral("DSN=not taken");
        CSettingsStore::instance().apply(edited, {QStringLiteral("VisualStyle")});
        QCOMPARE(CSkin::current(), 2);
        QCOMPARE(stored("VisualStyle").toInt(), 2);
        QCOMPARE(stored("MRDB").toString(), QString());
        QCOMPARE(count("SaveSettings"), saves + 1);
        QCOMPARE(count("ReopenMRDatabase"), reports);
        QCOMPARE(count("ReopenPhotoDB"), photos);

        edited.UseMRDB = true;
        edited.MRDB = conn("reports.db");
        CSettingsStore::instance().apply(edited,
                                         {QStringLiteral("UseMRDB"), QStringLiteral("MRDB")});
        QVERIFY(m_app->reportingDatabase()->IsOpen());
        QCOMPARE(count("ReopenMRDatabase"), reports + 1);
        QCOMPARE(count("ReopenPhotoDB"), photos);
        QCOMPARE(count("SaveSettings"), saves + 2);
    }

    void controllersLogIntoTheNewFolder() {
        storeSettings({});
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("site"), {{1, controller("Door", 1, 1)}}));
        CTermFormView* form = w.form(1);
        QVERIFY(form);
        const QString before = form->Comm().GetAsciiFileName();
        QCOMPARE(before, w.monthlyFile());
        const QString moved = folder(QStringLiteral("moved"));
        const auto openSheet = [&](const std::function<void(CPS_Settings*)>& act) {
            whenShown<CPS_Settings>(act);
            QVERIFY(w.app->mainFrame()->commands().execute(ID_VIEW_SETTINGS));
        };
        // Cancelled: the control keeps its file.
        openSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(2);
            typeInto(item<QLineEdit>(sheet->miscPage(), IDC_REGFILEPATH), moved);
            sheet->reject();
        });
        QCOMPARE(form->Comm().GetAsciiFileName(), before);
        openSheet([&](CPS_Settings* sheet) {
            sheet->tabs()->setCurrentIndex(2);
            typeInto(item<QLineEdit>(sheet->miscPage(), IDC_REGFILEPATH), moved);
            sheet->accept();
        });
        const QString expected =
            moved + QLatin1Char('/') + CAppSettings::instance().MonthlyFileName;
        QCOMPARE(form->Comm().GetAsciiFileName(), expected);
        sim.sendMessage(Vr12Simulator::registrationFor(Vr12Simulator::mediaIdFor(3)));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(expected).size() > 0, 10000);
    }
};

TARVEX_TEST_MAIN(TestSettingsSheet)
#include "tst_settingssheet.moc"

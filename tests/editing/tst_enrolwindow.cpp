// Enrolment in the running program against simulated controllers: new keys presented one after
// another named and added in one window, a registration's unknown medium added from the
// registrations list, and the Employee dialog's MediaID read from a reader.
#include "../intake/form/intakeworld.h"

#include "catalogue.h"
#include "editcommands.h"
#include "empdlg.h"
#include "empview.h"
#include "enrolwindow.h"
#include "historymodel.h"
#include "historywindow.h"
#include "mediumreaddlg.h"
#include "presentedmedia.h"
#include "resourceids.h"
#include "testfiles.h"
#include "vr12simulator.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

#include <functional>

using namespace res;

namespace {
constexpr int kWaitMs = 15000;
const std::string kAnna = "0100000000000001";
const std::string kBert = "0200000000000002";

QByteArray newKey(int n) {
    return Vr12Simulator::mediaIdFor(100 + n);
}

CTarvexDoc::EmployeeMap staff() {
    return {{kAnna, {"Adams", "Anna"}}, {kBert, {"Brown", "Bert"}}};
}

struct EnrolWorld : IntakeWorld {
    Vr12Simulator gate, store;
    bool begin(const QString& name) {
        return gate.start(TestWorld::instance()->deviceDir(), 1) &&
               store.start(TestWorld::instance()->deviceDir(), 2) &&
               start(name, staff(),
                     {{1, controller("Main entrance", 1, 101)},
                      {2, controller("Warehouse", 2, 102)}});
    }
    CTarvexDoc& doc() const { return *app->document(); }
    CCommandManager& commands() const { return app->mainFrame()->commands(); }
    bool enabled(int id) const { return commands().query(id).enabled(); }
    CEnrolWindow* enrolWindow() const { return app->mainFrame()->findChild<CEnrolWindow*>(); }
};

QStringList column(const QTableWidget* table, int c) {
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r)
        out << (table->item(r, c) ? table->item(r, c)->text() : QString());
    return out;
}

// Types a name into a cell as a user does: the window taken (the offscreen platform activates
// the alert notifier when it shows, which a desktop does not), the cell made current, the text
// typed, Return.
void typeCell(QTableWidget* table, int row, int c, const QString& text) {
    table->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(table->window()));
    table->setFocus();
    table->setCurrentCell(row, c);
    QTest::keyClick(table, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    // Inserted as a paste is: key clicks carry Latin-1 only.
    editor->insert(text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// Acts on the modal window the next call opens, while it is shown; cancels what is left open.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        act(modal);
    });
}

int rowWithMedium(const CReportView* list, int c, const QByteArray& id) {
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->text(row, c) == QString::fromLatin1(id))
            return row;
    return -1;
}
} // namespace

class TestEnrolWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void tenKeysEnrolledInOneWindow() {
        EnrolWorld w;
        QVERIFY(w.begin(QStringLiteral("ten")));
        QVERIFY2(w.prompts.stops.isEmpty(), qPrintable(w.prompts.stops.join('\n')));
        QVERIFY(w.enabled(ID_EMP_ENROL));
        QVERIFY(w.commands().execute(ID_EMP_ENROL));
        CEnrolWindow* win = w.enrolWindow();
        QVERIFY(win);
        QVERIFY(QTest::qWaitForWindowExposed(win));
        // Not modal, a tool window of the main window: it stays above it.
        QVERIFY(!win->isModal() && QApplication::activeModalWidget() == nullptr);
        QCOMPARE(win->windowType(), Qt::Tool);
        QCOMPARE(win->parentWidget(), static_cast<QWidget*>(w.app->mainFrame()));
        QCOMPARE(win->findChild<QLabel*>(QStringLiteral("item%1").arg(IDC_ENROL_PROMPT))->text(),
                 QStringLiteral("Present each new key or card to a reader."));
        // The command again brings the same window forward.
        QVERIFY(w.commands().execute(ID_EMP_ENROL));
        QCOMPARE(w.app->mainFrame()->findChildren<CEnrolWindow*>().size(), 1);

        // Ten new keys, one after another, at both doors; among them an employee's key and a
        // key presented twice.
        QTableWidget* table = win->table();
        int registrations = 0;
        auto present = [&](Vr12Simulator& door, const QByteArray& id) {
            door.sendMessage(Vr12Simulator::registrationFor(id));
            ++registrations;
            QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), registrations, kWaitMs);
        };
        for (int n = 0; n < 10; ++n) {
            present(n % 2 ? w.store : w.gate, newKey(n));
            if (n == 4) {
                present(w.gate, QByteArray(kAnna.c_str()));
                present(w.store, newKey(2));
            }
            QTRY_COMPARE_WITH_TIMEOUT(table->rowCount(), n + 1, kWaitMs);
        }
        // Every registration went on to the list and the monthly file as always.
        QCOMPARE(w.list()->rowCount(), 12);
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(w.monthlyFile()).count('\n'), 12, kWaitMs);
        QStringList expected;
        for (int n = 0; n < 10; ++n)
            expected << QString::fromLatin1(newKey(n));
        QCOMPARE(column(table, CEnrolWindow::MediaIdColumn), expected);
        QCOMPARE(table->item(0, CEnrolWindow::ControllerColumn)->text(),
                 QStringLiteral("Main entrance"));
        QCOMPARE(table->item(1, CEnrolWindow::ControllerColumn)->text(),
                 QStringLiteral("Warehouse"));
        QCOMPARE(table->item(0, CEnrolWindow::TimeColumn)->text(), w.list()->text(0, 1));
        // The newest row waits for its last name.
        QCOMPARE(table->currentRow(), 9);
        QCOMPARE(table->currentColumn(), int(CEnrolWindow::LastNameColumn));
        // The fixed columns cannot be edited.
        QVERIFY(!(table->item(0, CEnrolWindow::MediaIdColumn)->flags() & Qt::ItemIsEditable));

        // Names for nine of them; the fourth gets a last name only.
        for (int n = 0; n < 10; ++n) {
            typeCell(table, n, CEnrolWindow::LastNameColumn, QStringLiteral("Last%1").arg(n));
            if (n != 3)
                typeCell(table, n, CEnrolWindow::FirstNameColumn, QStringLiteral("First%1").arg(n));
        }
        QTest::mouseClick(win->addButton(), Qt::LeftButton);
        QVERIFY2(w.prompts.stops.isEmpty(), qPrintable(w.prompts.stops.join('\n')));
        QCOMPARE(w.doc().Employees().size(), size_t(11));
        const CEmpRecord* added = w.doc().FindEmployee(newKey(9).toStdString());
        QVERIFY(added);
        QCOMPARE(added->LastName, std::string("Last9"));
        QCOMPARE(added->FirstName, std::string("First9"));
        QVERIFY(!w.doc().FindEmployee(newKey(3).toStdString()));
        QVERIFY(w.doc().IsModified());
        // The nine are selected in the employees list, ready for Write to ID table.
        CEmpView* employees = CEmpView::Instance();
        QCOMPARE(employees->selectedCount(), 9);
        for (int row : employees->selectedRows())
            QVERIFY(employees->text(row, CEmpView::kMediaIdColumn) !=
                    QString::fromLatin1(newKey(3)));
        // The row without both names stays, with its name.
        QCOMPARE(column(table, CEnrolWindow::MediaIdColumn),
                 QStringList{QString::fromLatin1(newKey(3))});
        QCOMPARE(table->item(0, CEnrolWindow::LastNameColumn)->text(), QStringLiteral("Last3"));
        // Added now: the key no longer appears when presented again.
        w.gate.sendMessage(Vr12Simulator::registrationFor(newKey(0)));
        QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), 13, kWaitMs);
        QTest::qWait(50);
        QCOMPARE(table->rowCount(), 1);

        // Closing with a name typed but not added asks first: Cancel keeps the window.
        w.prompts.okCancelAnswers = {false};
        QVERIFY(!win->close());
        QCOMPARE(w.prompts.confirmations.size(), 1);
        QVERIFY(w.prompts.confirmations.first().contains(QStringLiteral("1 media")));
        QVERIFY(win->isVisible());
        // OK closes it; the window is gone.
        QPointer<CEnrolWindow> gone(win);
        w.prompts.okCancelAnswers = {true};
        QVERIFY(win->close());
        QTRY_VERIFY(gone.isNull());
        // Without names typed nothing is asked.
        QVERIFY(w.commands().execute(ID_EMP_ENROL));
        QVERIFY(w.enrolWindow()->close());
        QCOMPARE(w.prompts.confirmations.size(), 2);
    }

    void enrolmentWarnsOnceOfNamesTheCodePageCannotHold() {
        EnrolWorld w;
        QVERIFY(w.begin(QStringLiteral("codepage")));
        QVERIFY(w.commands().execute(ID_EMP_ENROL));
        CEnrolWindow* win = w.enrolWindow();
        w.gate.sendMessage(Vr12Simulator::registrationFor(newKey(20)));
        QTRY_COMPARE_WITH_TIMEOUT(win->table()->rowCount(), 1, kWaitMs);
        w.store.sendMessage(Vr12Simulator::registrationFor(newKey(21)));
        QTRY_COMPARE_WITH_TIMEOUT(win->table()->rowCount(), 2, kWaitMs);
        typeCell(win->table(), 0, CEnrolWindow::LastNameColumn, QStringLiteral("Ng\u540d"));
        typeCell(win->table(), 0, CEnrolWindow::FirstNameColumn, QStringLiteral("Li"));
        typeCell(win->table(), 1, CEnrolWindow::LastNameColumn, QStringLiteral("Ngu\u540d"));
        // The first name still in its editor when Add is pressed (as its mnemonic does, without
        // taking the focus).
        win->table()->setFocus();
        win->table()->setCurrentCell(1, CEnrolWindow::FirstNameColumn);
        QTest::keyClick(win->table(), Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != win->table());
        QTest::keyClicks(editor, QStringLiteral("Lan"));
        win->addButton()->click();
        QCOMPARE(w.doc().Employees().size(), size_t(4));
        QCOMPARE(w.doc().FindEmployee(newKey(21).toStdString())->FirstName, std::string("Lan"));
        QCOMPARE(w.prompts.warnings.size(), 1);
        QVERIFY(w.prompts.warnings.first().startsWith(QStringLiteral("2 characters")));
        QCOMPARE(win->table()->rowCount(), 0);
    }

    void addAsEmployeeFromTheRegistrationsList() {
        EnrolWorld w;
        QVERIFY(w.begin(QStringLiteral("addas")));
        CRegView* list = w.list();
        const QByteArray stranger = newKey(30);
        w.gate.sendMessage(Vr12Simulator::registrationFor(stranger));
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 1, kWaitMs);
        w.gate.sendMessage(Vr12Simulator::registrationFor(QByteArray(kBert.c_str())));
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 2, kWaitMs);
        w.gate.sendMessage("+<OK"); // a status message
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 3, kWaitMs);
        const int strangerRow = rowWithMedium(list, CRegView::kMediaIdColumn, stranger);
        const int bertRow =
            rowWithMedium(list, CRegView::kMediaIdColumn, QByteArray(kBert.c_str()));
        const int statusRow = 3 - strangerRow - bertRow;

        // The unknown medium stands out, with its description for assistive technology.
        auto cell = [&](int row) { return list->model()->index(row, CRegView::kMediaIdColumn); };
        QVERIFY(cell(strangerRow).data(Qt::DecorationRole).canConvert<QIcon>());
        QVERIFY(!cell(strangerRow).data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(cell(strangerRow).data(Qt::AccessibleDescriptionRole).toString(),
                 QStringLiteral("unknown medium"));
        for (int row : {bertRow, statusRow}) {
            QVERIFY(!cell(row).data(Qt::DecorationRole).isValid());
            QVERIFY(!cell(row).data(Qt::AccessibleDescriptionRole).isValid());
        }

        // Enabled for the unknown medium only; the context menu carries the command.
        QVERIFY(!w.enabled(ID_REG_ADDEMPLOYEE));
        list->selectRow(bertRow);
        QVERIFY(!w.enabled(ID_REG_ADDEMPLOYEE));
        list->selectRow(statusRow);
        QVERIFY(!w.enabled(ID_REG_ADDEMPLOYEE));
        list->selectRow(strangerRow);
        QVERIFY(w.enabled(ID_REG_ADDEMPLOYEE));
        std::unique_ptr<QMenu> menu(w.commands().createPopup(IDR_MENU_REG, 0, w.app->mainFrame()));
        QVERIFY(menu);
        QVERIFY(menu->actions().contains(w.commands().action(ID_REG_ADDEMPLOYEE)));

        // The Employee dialog in add mode, the MediaID filled in, the focus in Last Name.
        bool seen = false;
        whenModal([&](QWidget* modal) {
            auto* dlg = qobject_cast<CEmpDlg*>(modal);
            QVERIFY(dlg);
            seen = true;
            QVERIFY(!dlg->IsEditing());
            QCOMPARE(dlg->MediaIdText(), QString::fromLatin1(stranger));
            QTRY_COMPARE(QApplication::focusWidget(),
                         static_cast<QWidget*>(dlg->field(IDC_EMP_LASTNAME)));
            QTest::keyClicks(dlg->field(IDC_EMP_LASTNAME), QStringLiteral("Stone"));
            QTest::keyClicks(dlg->field(IDC_EMP_FIRSTNAME), QStringLiteral("Sam"));
            dlg->accept();
        });
        QVERIFY(w.commands().execute(ID_REG_ADDEMPLOYEE));
        QVERIFY(seen);
        const CEmpRecord* added = w.doc().FindEmployee(stranger.toStdString());
        QVERIFY(added);
        QCOMPARE(added->LastName, std::string("Stone"));
        // Known now: no mark, no command.
        QVERIFY(!cell(strangerRow).data(Qt::DecorationRole).isValid());
        QVERIFY(!w.enabled(ID_REG_ADDEMPLOYEE));
    }

    void historyMarksAndAddsUnknownMedia() {
        EnrolWorld w;
        QVERIFY(w.begin(QStringLiteral("history")));
        const QByteArray stranger = newKey(31);
        w.gate.sendMessage(Vr12Simulator::registrationFor(stranger));
        QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), 1, kWaitMs);
        w.store.sendMessage(Vr12Simulator::registrationFor(QByteArray(kBert.c_str())));
        QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), 2, kWaitMs);

        // The history reads them back from the monthly file the control wrote.
        QVERIFY(w.commands().execute(ID_VIEW_HISTORY));
        CHistoryWindow* history = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            history = history ? history : qobject_cast<CHistoryWindow*>(top);
        QVERIFY(history);
        CHistoryModel* rows = history->historyModel();
        auto* table = history->findChild<QTableView*>(QStringLiteral("RegistrationsTable"));
        auto cell = [&](int row) { return rows->index(row, CHistoryModel::MediaId); };
        // The folder holds the earlier tests' registrations too: the newest of each medium.
        auto lastRowOf = [&](const QByteArray& id) {
            int found = -1;
            for (int row = 0; row < rows->rowCount(); ++row)
                found = cell(row).data().toString() == QLatin1String(id) ? row : found;
            return found;
        };
        QTRY_VERIFY_WITH_TIMEOUT(lastRowOf(stranger) >= 0, kWaitMs);
        const int strangerRow = lastRowOf(stranger);
        const int bertRow = lastRowOf(QByteArray(kBert.c_str()));
        QVERIFY(bertRow >= 0);
        QVERIFY(!cell(strangerRow).data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(cell(strangerRow).data(Qt::AccessibleDescriptionRole).toString(),
                 QStringLiteral("unknown medium"));
        QVERIFY(!cell(bertRow).data(Qt::DecorationRole).isValid());

        QAction* add = nullptr;
        for (QAction* a : history->rowActions())
            add = a->text() == QStringLiteral("Add as employee...") ? a : add;
        QVERIFY(add);
        table->setCurrentIndex(cell(bertRow));
        QVERIFY(!add->isEnabled());
        table->setCurrentIndex(cell(strangerRow));
        QVERIFY(add->isEnabled());
        bool seen = false;
        whenModal([&](QWidget* modal) {
            auto* dlg = qobject_cast<CEmpDlg*>(modal);
            QVERIFY(dlg);
            seen = true;
            QCOMPARE(dlg->parentWidget(), static_cast<QWidget*>(history));
            QCOMPARE(dlg->MediaIdText(), QString::fromLatin1(stranger));
            QTest::keyClicks(dlg->field(IDC_EMP_LASTNAME), QStringLiteral("Stone"));
            QTest::keyClicks(dlg->field(IDC_EMP_FIRSTNAME), QStringLiteral("Sam"));
            dlg->accept();
            if (dlg->isVisible())
                dlg->reject();
        });
        add->trigger();
        QVERIFY(seen);
        QVERIFY(w.doc().FindEmployee(stranger.toStdString()));
        // Known now: the row carries the name and no mark.
        QTRY_COMPARE(cell(strangerRow).data().toString(), QLatin1String(stranger));
        QCOMPARE(rows->index(strangerRow, CHistoryModel::LastName).data().toString(),
                 QStringLiteral("Stone"));
        QVERIFY(!cell(strangerRow).data(Qt::DecorationRole).isValid());
        QVERIFY(!add->isEnabled());
        history->close();
    }

    void readFromAReader() {
        EnrolWorld w;
        QVERIFY(w.begin(QStringLiteral("read")));
        auto withDialog = [&](std::function<void(CEmpDlg*)> act) {
            whenModal([act](QWidget* modal) {
                auto* dlg = qobject_cast<CEmpDlg*>(modal);
                QVERIFY(dlg);
                act(dlg);
                if (dlg->isVisible())
                    dlg->reject();
            });
            QVERIFY(w.commands().execute(ID_EMP_ADD));
        };
        // Pressing the button waits in a window of its own; `during` acts while it is shown.
        auto read = [&](CEmpDlg* dlg, std::function<void(QWidget*)> during) {
            whenModal([during](QWidget* modal) {
                QCOMPARE(modal->objectName(), QStringLiteral("CMediumReadDlg"));
                QCOMPARE(
                    modal->findChild<QLabel*>(QStringLiteral("item%1").arg(IDC_READMEDIUM_PROMPT))
                        ->text(),
                    QStringLiteral("Present the key or card now..."));
                during(modal);
            });
            QTest::mouseClick(dlg->ReadButton(), Qt::LeftButton);
        };

        const QByteArray fresh = newKey(40);
        withDialog([&](CEmpDlg* dlg) {
            QVERIFY(dlg->ReadButton());
            QCOMPARE(dlg->ReadButton()->text(), QStringLiteral("&Read from a reader"));
            // A medium at either door fills the MediaID; the names come next (the focus waits in
            // Last Name for the dialog to be active again).
            read(dlg,
                 [&](QWidget*) { w.store.sendMessage(Vr12Simulator::registrationFor(fresh)); });
            QCOMPARE(dlg->MediaIdText(), QString::fromLatin1(fresh));
            QTRY_COMPARE(dlg->focusWidget(), static_cast<QWidget*>(dlg->field(IDC_EMP_LASTNAME)));

            // Cancel leaves the MediaID as it was.
            read(dlg, [](QWidget* modal) {
                QTest::mouseClick(
                    modal->findChild<QPushButton*>(QStringLiteral("item%1").arg(IDCANCEL)),
                    Qt::LeftButton);
            });
            QCOMPARE(dlg->MediaIdText(), QString::fromLatin1(fresh));

            // An employee's medium is refused with the duplicate check's words.
            read(dlg, [&](QWidget*) {
                w.gate.sendMessage(Vr12Simulator::registrationFor(QByteArray(kAnna.c_str())));
            });
            QCOMPARE(w.prompts.stops, QStringList{QStringLiteral("MediaID already exists.")});
            QCOMPARE(dlg->MediaIdText(), QString::fromLatin1(fresh));
            QTRY_COMPARE(dlg->focusWidget(), static_cast<QWidget*>(dlg->field(IDC_EMP_MEDIAID)));
            // The dialog stays usable: OK adds the medium read.
            QTest::keyClicks(dlg->field(IDC_EMP_LASTNAME), QStringLiteral("Reed"));
            QTest::keyClicks(dlg->field(IDC_EMP_FIRSTNAME), QStringLiteral("Rita"));
            dlg->accept();
        });
        QVERIFY(w.doc().FindEmployee(fresh.toStdString()));
        // The registrations still reached the list.
        QTRY_COMPARE_WITH_TIMEOUT(w.list()->rowCount(), 2, kWaitMs);
    }

    void readingGivesUpAfterItsTime() {
        QWidget parent;
        ScriptedPrompts prompts;
        CTarvexDoc doc;
        CPresentedMedia media;
        CEmpDlg dlg(prompts, &parent, &doc);
        dlg.SetMediumSource(&media, std::chrono::milliseconds(400));
        dlg.show();
        dlg.SetMediaId(QStringLiteral("0100"));
        QElapsedTimer clock;
        bool shown = false;
        whenModal([&](QWidget* modal) { shown = qobject_cast<CMediumReadDlg*>(modal) != nullptr; });
        clock.start();
        dlg.ReadFromReader();
        const qint64 waited = clock.elapsed();
        QVERIFY(shown);
        QVERIFY2(waited >= 390 && waited < 3000, qPrintable(QString::number(waited)));
        QCOMPARE(dlg.MediaIdText(), QStringLiteral("0100"));
        QVERIFY(prompts.stops.isEmpty());
    }
};

TARVEX_TEST_MAIN(TestEnrolWindow)
#include "tst_enrolwindow.moc"

// The Employee and Controller dialogs driven by keyboard and mouse on the offscreen platform:
// labels and mnemonics, initial focus, upper case as typed, pasted control characters and
// non-digits, each refusal in order with the focus where it points and the input kept.
#include "testworld.h"

#include "empdlg.h"
#include "resourceids.h"
#include "scriptedprompts.h"
#include "tarvexdoc.h"
#include "termdlg.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace res;

namespace {
const std::string kId = "0123456789ABCDEF";

QLabel* labelFor(QWidget* dialog, QWidget* field) {
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (label->buddy() == field)
            return label;
    return nullptr;
}

QPushButton* button(QWidget* dialog, int item) {
    return dialog->findChild<QPushButton*>(QStringLiteral("item%1").arg(item));
}

void paste(QLineEdit* edit, const QString& text) {
    QApplication::clipboard()->setText(text);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

// Presses OK with the focus elsewhere, so a refusal has to move it.
void pressOk(QDialog& dlg, QStringList& refusals) {
    refusals.clear();
    button(&dlg, IDOK)->setFocus();
    QTest::mouseClick(button(&dlg, IDOK), Qt::LeftButton);
}
} // namespace

class TestEditDialogs : public QObject {
    Q_OBJECT
private slots:
    void employeeDialogLooksAndKeys() {
        ScriptedPrompts prompts;
        CEmpDlg dlg(prompts);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Employee"));
        const QList<std::pair<int, QString>> labels = {{IDC_EMP_MEDIAID, "&MediaID"},
                                                       {IDC_EMP_LASTNAME, "&Last Name"},
                                                       {IDC_EMP_FIRSTNAME, "&First Name"}};
        for (const auto& [item, text] : labels) {
            QLabel* label = labelFor(&dlg, dlg.field(item));
            QVERIFY(label);
            QCOMPARE(label->text(), text);
        }
        QCOMPARE(button(&dlg, IDOK)->text(), QStringLiteral("OK"));
        QCOMPARE(button(&dlg, IDCANCEL)->text(), QStringLiteral("Cancel"));
        QVERIFY(button(&dlg, IDOK)->isDefault());

        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_MEDIAID));
        // Upper case as it is typed, blanks kept; the cursor stays where the typing is.
        QTest::keyClicks(dlg.field(IDC_EMP_MEDIAID), "ab cd");
        QTest::keyClick(dlg.field(IDC_EMP_MEDIAID), Qt::Key_Left);
        QTest::keyClicks(dlg.field(IDC_EMP_MEDIAID), "e");
        QCOMPARE(dlg.MediaIdText(), QStringLiteral("AB CED"));
        // Mnemonics and Tab move between the fields in order.
        QTest::keyClick(&dlg, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_FIRSTNAME));
        QTest::keyClick(&dlg, Qt::Key_L, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_LASTNAME));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_FIRSTNAME));
        QTest::keyClick(&dlg, Qt::Key_M, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_MEDIAID));
        // A pasted line with its line break and a tab inside: the controls go, the rest is
        // upper-cased.
        dlg.field(IDC_EMP_MEDIAID)->clear();
        paste(dlg.field(IDC_EMP_MEDIAID), QStringLiteral("01234567\t89abcdef\r\n"));
        QCOMPARE(dlg.MediaIdText(), QStringLiteral("0123456789ABCDEF"));
        paste(dlg.field(IDC_EMP_LASTNAME), QStringLiteral("Smith\nJones\u0007"));
        QCOMPARE(dlg.LastNameText(), QStringLiteral("SmithJones"));
        // Escape is Cancel.
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
    }

    void employeeRefusalsInOrder() {
        CTarvexDoc doc;
        doc.InsertEmployee(kId, {"Old", "Entry"});
        ScriptedPrompts prompts;
        QStringList& refusals = prompts.stops;
        CEmpDlg dlg(prompts, nullptr, &doc);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QLineEdit* mediaId = dlg.field(IDC_EMP_MEDIAID);

        QTest::keyClicks(mediaId, "0123456789abcde");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"Invalid MediaID length."}));
        QVERIFY(dlg.isVisible());
        QCOMPARE(QApplication::focusWidget(), mediaId);
        QCOMPARE(dlg.MediaIdText(), QStringLiteral("0123456789ABCDE"));
        QTest::keyClick(mediaId, Qt::Key_End);
        QTest::keyClicks(mediaId, "FF");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"Invalid MediaID length."}));
        QCOMPARE(QApplication::focusWidget(), mediaId);

        // The refused text is selected: typing replaces it.
        QTest::keyClicks(mediaId, QString::fromStdString(kId));
        QCOMPARE(dlg.MediaIdText(), QString::fromStdString(kId));
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"MediaID already exists."}));
        QCOMPARE(QApplication::focusWidget(), mediaId);

        QTest::keyClicks(mediaId, "fedcba9876543210");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"You must enter last name."}));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_LASTNAME));
        QTest::keyClicks(dlg.field(IDC_EMP_LASTNAME), "Doe");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"You must enter first name."}));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_FIRSTNAME));
        QCOMPARE(dlg.MediaIdText(), QStringLiteral("FEDCBA9876543210"));
        QCOMPARE(dlg.LastNameText(), QStringLiteral("Doe"));

        // A name of ten thousand characters is taken whole.
        paste(dlg.field(IDC_EMP_FIRSTNAME), QString(10000, u'j'));
        pressOk(dlg, refusals);
        QVERIFY(refusals.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.MediaId(), std::string("FEDCBA9876543210"));
        QCOMPARE(dlg.LastName(), std::string("Doe"));
        QCOMPARE(dlg.FirstName(), std::string(10000, 'j'));
        QVERIFY(dlg.UnmappedWarning().isEmpty());
        QCOMPARE(doc.Employees().size(), std::size_t(1));
    }

    void employeeEditingKeepsTheMediaId() {
        CTarvexDoc doc;
        doc.InsertEmployee(kId, {"Old", "Entry"});
        ScriptedPrompts prompts;
        QStringList& refusals = prompts.stops;
        CEmpDlg dlg(prompts, nullptr, &doc);
        dlg.SetLastName(QStringLiteral("Old"));
        dlg.SetFirstName(QStringLiteral("Entry"));
        dlg.SetMediaId(QString::fromStdString(kId));
        dlg.SetEditing(true);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QVERIFY(!dlg.field(IDC_EMP_MEDIAID)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_LASTNAME));
        dlg.field(IDC_EMP_LASTNAME)->clear();
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"You must enter last name."}));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_LASTNAME));
        // Its own MediaID is never a duplicate.
        QTest::keyClicks(dlg.field(IDC_EMP_LASTNAME), "New");
        pressOk(dlg, refusals);
        QVERIFY(refusals.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.MediaId(), kId);
        QCOMPARE(dlg.LastName(), std::string("New"));
        QCOMPARE(dlg.FirstName(), std::string("Entry"));
    }

    void controllerDialogLooksAndKeys() {
        ScriptedPrompts prompts;
        CTermDlg dlg(prompts);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Controller"));
        const QList<std::pair<int, QString>> labels = {{IDC_TERMDLG_NAME, "&Name"},
                                                       {IDC_TERMDLG_ID, "&ID"},
                                                       {IDC_TERMDLG_CODE, "&Code"},
                                                       {IDC_TERMDLG_COMPORT, "COM &Port"}};
        for (const auto& [item, text] : labels) {
            QLabel* label = labelFor(&dlg, dlg.field(item));
            QVERIFY(label);
            QCOMPARE(label->text(), text);
        }
        // The defaults when adding.
        QCOMPARE(dlg.field(IDC_TERMDLG_NAME)->text(), QString());
        QCOMPARE(dlg.field(IDC_TERMDLG_ID)->text(), QStringLiteral("0"));
        QCOMPARE(dlg.field(IDC_TERMDLG_CODE)->text(), QStringLiteral("0"));
        QCOMPARE(dlg.field(IDC_TERMDLG_COMPORT)->text(), QStringLiteral("1"));
        QVERIFY(dlg.field(IDC_TERMDLG_COMPORT)->isEnabled());

        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_NAME));
        QTest::keyClick(&dlg, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_COMPORT));
        QTest::keyClick(&dlg, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_ID));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_CODE));
        // Digits only: typed letters do not arrive, a paste with anything else is refused whole.
        QLineEdit* id = dlg.field(IDC_TERMDLG_ID);
        id->clear();
        QTest::keyClicks(id, "1a2-3 ");
        QCOMPARE(id->text(), QStringLiteral("123"));
        paste(id, QStringLiteral("45x"));
        QCOMPARE(id->text(), QStringLiteral("123"));
        paste(id, QStringLiteral("45\n"));
        QCOMPARE(id->text(), QStringLiteral("123"));
        paste(id, QStringLiteral("45"));
        QCOMPARE(id->text(), QStringLiteral("12345"));
        paste(dlg.field(IDC_TERMDLG_NAME), QStringLiteral("Main\r\nentrance"));
        QCOMPARE(dlg.field(IDC_TERMDLG_NAME)->text(), QStringLiteral("Mainentrance"));

        dlg.SetEditing(true);
        QVERIFY(!dlg.field(IDC_TERMDLG_COMPORT)->isEnabled());
        QTest::mouseClick(button(&dlg, IDCANCEL), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void controllerRefusalsInOrder() {
        CTarvexDoc doc;
        CTermRecord gate;
        gate.Name = "Gate";
        gate.ID = 7;
        gate.Code = 9;
        doc.InsertController(5, gate);
        ScriptedPrompts prompts;
        QStringList& refusals = prompts.stops;
        CTermDlg dlg(prompts, nullptr, &doc);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto type = [&](int item, const QString& text) {
            QLineEdit* edit = dlg.field(item);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, text);
        };

        type(IDC_TERMDLG_ID, "65536");
        type(IDC_TERMDLG_CODE, "");
        type(IDC_TERMDLG_COMPORT, "5");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"Please enter an integer between 0 and 65535."}));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_ID));
        QCOMPARE(dlg.field(IDC_TERMDLG_ID)->text(), QStringLiteral("65536"));
        QVERIFY(dlg.isVisible());
        type(IDC_TERMDLG_ID, "7");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"Please enter an integer between 0 and 65535."}));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_CODE));
        type(IDC_TERMDLG_CODE, "9");
        type(IDC_TERMDLG_COMPORT, "0");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"Please enter an integer between 1 and 255."}));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_COMPORT));
        type(IDC_TERMDLG_COMPORT, "256");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"Please enter an integer between 1 and 255."}));
        type(IDC_TERMDLG_COMPORT, "5");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"You must enter controller's name."}));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_NAME));
        type(IDC_TERMDLG_NAME, "Shed");
        pressOk(dlg, refusals);
        QCOMPARE(refusals, QStringList({"COM port already exists."}));
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_TERMDLG_COMPORT));
        // The same ID and code as the other controller are fine.
        type(IDC_TERMDLG_COMPORT, "255");
        pressOk(dlg, refusals);
        QVERIFY(refusals.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Name(), std::string("Shed"));
        QCOMPARE(dlg.ID(), 7);
        QCOMPARE(dlg.Code(), 9);
        QCOMPARE(dlg.ComPort(), 255);

        // Editing keeps its own COM port.
        CTermDlg edit(prompts, nullptr, &doc);
        edit.SetValues(QStringLiteral("Gate"), 7, 9, 5);
        edit.SetEditing(true);
        edit.show();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        pressOk(edit, refusals);
        QVERIFY(refusals.isEmpty());
        QCOMPARE(edit.result(), int(QDialog::Accepted));
        QCOMPARE(edit.ComPort(), 5);
    }
};

TARVEX_TEST_MAIN(TestEditDialogs)
#include "tst_editdialogs.moc"

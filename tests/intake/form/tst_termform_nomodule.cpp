// Without the control module the program still runs: the user hears of it once, and every
// controller stays in the workspace without a link.
#include "intakeworld.h"

#include "resourceids.h"
#include "scriptedprompts.h"
#include "termformservices.h"
#include "vr12commfactory.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

class TestTermFormNoModule : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        CVr12CommFactory::SetProgramFolder(TestWorld::instance()->path(QStringLiteral("none")));
    }

    // A form before it is bound: its fields, texts and lists as the template makes them.
    void freshFormFieldsAndLists() {
        CTermFormView form;
        const std::pair<int, const char*> fields[] = {
            {res::IDC_TERM_ID, "0"},      {res::IDC_TERM_NAME, ""},
            {res::IDC_TERM_CODE, "0"},    {res::IDC_TERM_COMPORT, "1"},
            {res::IDC_TERM_MASTER, ""},   {res::IDC_TERM_EMPLOYEE, ""},
            {res::IDC_TERM_FIRMWARE, ""}, {res::IDC_TERM_LASTREG, ""},
            {res::IDC_TERM_STATUS, "OK"}};
        const QStringList labels = {"ID",     "Name",     "Code",     "COM port",
                                    "Master", "Employee", "Firmware", "Last registration",
                                    "Status"};
        for (size_t i = 0; i < std::size(fields); ++i) {
            QLineEdit* edit = form.field(fields[i].first);
            QVERIFY(edit);
            QCOMPARE(edit->text(), QString::fromLatin1(fields[i].second));
            QVERIFY(edit->isReadOnly());
            QCOMPARE(edit->accessibleName(), labels.at(qsizetype(i)));
        }
        // The label of each field leads to it.
        int buddies = 0;
        for (QLabel* label : form.findChildren<QLabel*>())
            buddies += label->buddy() ? 1 : 0;
        QCOMPARE(buddies, 11);
        for (int item : {res::IDC_TERM_ID, res::IDC_TERM_CODE, res::IDC_TERM_COMPORT}) {
            const QValidator* digits = form.field(item)->validator();
            QVERIFY(digits);
            QString text = QStringLiteral("1a");
            int pos = 0;
            QCOMPARE(digits->validate(text, pos), QValidator::Invalid);
            text = QStringLiteral("255");
            QCOMPARE(digits->validate(text, pos), QValidator::Acceptable);
        }
        QVERIFY(!form.field(res::IDC_TERM_NAME)->validator());
        for (int item : {res::IDC_TERM_RELAY1, res::IDC_TERM_RELAY2}) {
            QComboBox* list = form.relayList(item);
            QStringList texts;
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
            QCOMPARE(texts, QStringList({"0.5", "1", "2", "4", "8", "16", "32", "64"}));
            QCOMPARE(list->currentIndex(), 0);
        }
        QCOMPARE(form.relayList(res::IDC_TERM_RELAY1)->accessibleName(), "Relay 1 time");
        QCOMPARE(form.relayList(res::IDC_TERM_RELAY2)->accessibleName(), "Relay 2 time");
        // Nobody was told: the program's messages belong to a running program, and without one
        // the form opens no window of its own.
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(window == &form, qPrintable(window->metaObject()->className()));
    }

    // The way of telling that a running program hands the forms: the first form without a link
    // tells the reason, the forms after it do not repeat it.
    void toldOnceThroughTheServices() {
        ScriptedPrompts prompts;
        termFormServices().prompts = &prompts;
        {
            CTermFormView first;
            CTermFormView second;
        }
        CTermFormView third;
        termFormServices() = TermFormServices();
        QCOMPARE(prompts.stops, QStringList{CVr12CommFactory::Program().ErrorText()});
        QVERIFY(!prompts.stops.first().isEmpty());
    }

    void toldOnceControllersKept() {
        IntakeWorld w;
        QVERIFY(w.start(QStringLiteral("nomodule"),
                        {{1, controller("A", 1, 1)}, {2, controller("B", 2, 2)}}));
        QCOMPARE(w.prompts.stops.size(), 1);
        QCOMPARE(w.prompts.stops.first(), CVr12CommFactory::Program().ErrorText());
        QCOMPARE(w.app->document()->Controllers().size(), size_t(2));
        for (int port : {1, 2}) {
            QVERIFY(w.form(port));
            QVERIFY(!w.form(port)->Comm().IsLinked());
            QCOMPARE(w.form(port)->Status(), QStringLiteral("Error"));
        }
        // A workspace opened again in the same run does not repeat the message.
        w.app->document()->CreateAllPanels();
        QCOMPARE(w.prompts.stops.size(), 1);
        QVERIFY(w.app->mainFrame());
    }
};

TARVEX_TEST_MAIN(TestTermFormNoModule)
#include "tst_termform_nomodule.moc"

// Without the control module the program still runs: the user hears of it once, and every
// controller stays in the workspace without a link.
#include "intakeworld.h"

#include "vr12commfactory.h"

class TestTermFormNoModule : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        CVr12CommFactory::SetProgramFolder(TestWorld::instance()->path(QStringLiteral("none")));
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

// The ID table commands in the program against a simulated controller: the please-wait window
// and the disabled main window, the bytes on the wire, and the workspace's mirror that is always
// the table the controller reported.
#include "operationsworld.h"

#include "progressdlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

using namespace res;

namespace {
QByteArray id(int n) {
    return Vr12Simulator::mediaIdFor(n);
}

QByteArray record(int slot, const QByteArray& mediaId) {
    return "ID" + QString::asprintf("%02X", slot).toLatin1() + ": " + mediaId;
}

std::map<std::string, CEmpRecord> employees(int count) {
    std::map<std::string, CEmpRecord> out;
    for (int n = 1; n <= count; ++n)
        out.emplace(id(n).toStdString(),
                    employee(QString::asprintf("Last%02d", n).toStdString(), "First"));
    return out;
}

QList<QByteArray> ids(int from, int to) {
    QList<QByteArray> out;
    for (int n = from; n <= to; ++n)
        out << id(n);
    return out;
}

CProgressDlg* progressWindow() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* dlg = qobject_cast<CProgressDlg*>(top); dlg && dlg->isVisible())
            return dlg;
    return nullptr;
}

// What the program looks like while a command runs: sampled as each progress window shows,
// between the command's exchanges, and whenever the main window's enabled state changes while
// a progress window is up; a window opened under another one that gave the main window back
// on its end shows only there, since no event passes before the outer one ends too.
struct Watch : QObject {
    struct Sample {
        bool mainEnabled;
        QString caption, text;
        bool barShown, cancelShown;
    };
    QList<Sample> samples;
    QTimer timer;
    QWidget* main;
    explicit Watch(QWidget* mainWindow) : main(mainWindow) {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (CProgressDlg* dlg = progressWindow())
                sample(dlg);
        });
        timer.start();
        qApp->installEventFilter(this);
    }
    ~Watch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dlg = qobject_cast<CProgressDlg*>(watched))
                sample(dlg);
        if (event->type() == QEvent::EnabledChange && watched == main)
            if (CProgressDlg* dlg = progressWindow())
                sample(dlg);
        return false;
    }
    void sample(CProgressDlg* dlg) {
        samples << Sample{main->isEnabled(), dlg->windowTitle(), dlg->statusLine()->text(),
                          dlg->progressBar()->isVisibleTo(dlg),
                          dlg->cancelButton()->isVisibleTo(dlg)};
    }
    QStringList texts() const {
        QStringList out;
        for (const Sample& s : samples)
            if (!out.contains(s.text))
                out << s.text;
        return out;
    }
    bool mainAlwaysDisabled() const {
        return std::none_of(samples.begin(), samples.end(), [](const Sample& s) {
            return s.mainEnabled || s.barShown || s.cancelShown;
        });
    }
};
} // namespace

class TestIdTableOperations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(TestWorld::instance()->root()); }

    void readIdTable() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        OperationsWorld w;
        QVERIFY(
            w.startWith(QStringLiteral("read"), employees(3), {{1, controller("Front", 1, 0)}}));
        CTermFormView* form = w.selectController(1);
        QVERIFY(form);
        auto status = [&] { return form->field(IDC_TERM_STATUS)->text(); };

        // Slots as listed, an unknown MediaID among them; the list refilled, the workspace
        // modified, the please-wait window over a disabled main window meanwhile.
        sim.fillTable(3);
        sim.setSlot(0x1A, id(40));
        form->SetStatus(QStringLiteral("before"));
        w.doc()->SetModifiedFlag(false);
        sim.clearReceived();
        {
            Watch watch(w.mainWindow());
            QVERIFY(w.run(ID_TERM_READIDTABLE));
            QVERIFY(!watch.samples.isEmpty());
            QCOMPARE(watch.texts(),
                     QStringList{QStringLiteral("Reading ID table. Please wait...")});
            QCOMPARE(watch.samples.first().caption, QStringLiteral("Transferring"));
            QVERIFY(watch.mainAlwaysDisabled());
        }
        QCOMPARE(sim.receivedBytes(), QByteArray("S"));
        QVERIFY(!progressWindow());
        QVERIFY(w.mainWindow()->isEnabled());
        QCOMPARE(w.mirror(1), tableOf(sim));
        QCOMPARE(w.mirror(1).at(id(40).toStdString()), std::string("1A"));
        QCOMPARE(CTermEmpView::Instance()->rowCount(), 4);
        QVERIFY(w.doc()->IsModified());
        QCOMPARE(status(), QStringLiteral("OK"));

        // An empty table empties the mirror and leaves the status.
        sim.fillTable(0);
        form->SetStatus(QStringLiteral("before"));
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        QVERIFY(w.mirror(1).empty());
        QCOMPARE(CTermEmpView::Instance()->rowCount(), 0);
        QCOMPARE(status(), QStringLiteral("before"));

        // Silent in the middle of the listing: the control's text, no table, the window back.
        sim.fillTable(3);
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        QCOMPARE(w.mirror(1).size(), size_t(3));
        sim.setReply('S', record(0, id(0)) + record(1, id(1)), {}, 1);
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        QCOMPARE(status(), QStringLiteral("Error"));
        QVERIFY(w.mirror(1).empty());
        QCOMPARE(CTermEmpView::Instance()->rowCount(), 0);
        QVERIFY(w.mainWindow()->isEnabled());
        QVERIFY(!progressWindow());
    }

    void writeIdTable() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        OperationsWorld w;
        QVERIFY(
            w.startWith(QStringLiteral("write"), employees(63), {{1, controller("Front", 1, 0)}}));
        CTermFormView* form = w.selectController(1);
        QVERIFY(form);
        auto status = [&] { return form->field(IDC_TERM_STATUS)->text(); };
        CEmpView* list = CEmpView::Instance();

        // Code 10 on the first row: one more AddID of it, the next row, the table read back
        // under both windows' texts.
        OperationsWorld::select(list, {id(1), id(3)});
        sim.setFault('A', Vr12Simulator::Fault::StatusD, 1);
        sim.clearReceived();
        {
            Watch watch(w.mainWindow());
            QVERIFY(w.run(ID_TERM_WRITEIDTABLE));
            QCOMPARE(watch.texts(),
                     (QStringList{QStringLiteral("Writing ID table. Please wait..."),
                                  QStringLiteral("Reading ID table. Please wait...")}));
            QVERIFY(watch.mainAlwaysDisabled());
        }
        QCOMPARE(sim.receivedBytes(), "A" + id(1) + "A" + id(1) + "A" + id(3) + "S");
        QVERIFY(w.mainWindow()->isEnabled());
        QCOMPARE(w.mirror(1), tableOf(sim));
        QCOMPARE(w.mirror(1).size(), size_t(2));
        QCOMPARE(CTermEmpView::Instance()->rowCount(), 2);
        QCOMPARE(status(), QStringLiteral("OK"));

        // Code 10 then 0 on the last row: read back.
        OperationsWorld::select(list, {id(5)});
        sim.setFault('A', Vr12Simulator::Fault::StatusD, 1);
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEIDTABLE));
        QCOMPARE(sim.receivedBytes(), "A" + id(5) + "A" + id(5) + "S");
        QCOMPARE(w.mirror(1), tableOf(sim));
        QCOMPARE(w.mirror(1).size(), size_t(3));

        // Code 10 then a failure on the last row (a full table answers "f"): shown, nothing
        // read back.
        const auto before = w.mirror(1);
        const auto held = tableOf(sim);
        for (int s = 0; s < 256; ++s)
            if (sim.slot(s).isEmpty())
                sim.setSlot(s, id(100 + s));
        OperationsWorld::select(list, {id(6)});
        sim.setFault('A', Vr12Simulator::Fault::StatusD, 1);
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEIDTABLE));
        QCOMPARE(sim.receivedBytes(), "A" + id(6) + "A" + id(6));
        QCOMPARE(status(), QStringLiteral("Error 6"));
        QCOMPARE(w.mirror(1), before);
        QVERIFY(w.mainWindow()->isEnabled());
        for (int s = 0; s < 256; ++s)
            if (sim.slot(s) == id(100 + s))
                sim.setSlot(s, {});
        QCOMPARE(tableOf(sim), held);

        // 63 selected: refused with the message, nothing sent.
        OperationsWorld::select(list, ids(1, 63));
        QCOMPARE(list->selectedCount(), 63);
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_WRITEIDTABLE));
        QCOMPARE(w.prompts.stops, QStringList{QStringLiteral("More than 62 employees selected.")});
        QTest::qWait(50);
        QCOMPARE(sim.receivedBytes(), QByteArray());
        // 62 go ahead (here the controller does not answer the first one).
        OperationsWorld::select(list, ids(1, 62));
        sim.setFault('A', Vr12Simulator::Fault::Silent, 1);
        QVERIFY(w.run(ID_TERM_WRITEIDTABLE));
        QCOMPARE(w.prompts.stops.size(), 1);
        QCOMPARE(sim.receivedBytes(), QByteArray("A"));
        QCOMPARE(status(), QStringLiteral("Error 1"));
        QVERIFY(w.mainWindow()->isEnabled());
    }

    void removeAndClear() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        OperationsWorld w;
        QVERIFY(
            w.startWith(QStringLiteral("remove"), employees(3), {{1, controller("Front", 1, 0)}}));
        CTermFormView* form = w.selectController(1);
        QVERIFY(form);
        auto status = [&] { return form->field(IDC_TERM_STATUS)->text(); };
        CTermEmpView* inController = CTermEmpView::Instance();

        sim.setSlot(0x1A, id(1));
        sim.setSlot(0x03, id(2));
        sim.setSlot(0x04, id(3));
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        QCOMPARE(inController->rowCount(), 3);

        // The slot is read as hexadecimal; the table read back; the please-wait window over a
        // disabled main window meanwhile.
        OperationsWorld::select(inController, {id(1)});
        w.doc()->SetModifiedFlag(false);
        sim.clearReceived();
        {
            Watch watch(w.mainWindow());
            QVERIFY(w.run(ID_TERM_REMOVEIDTABLE));
            QCOMPARE(watch.texts(),
                     (QStringList{QStringLiteral("Removing from ID table. Please wait..."),
                                  QStringLiteral("Reading ID table. Please wait...")}));
            QVERIFY(watch.mainAlwaysDisabled());
        }
        QVERIFY(!progressWindow());
        QVERIFY(w.mainWindow()->isEnabled());
        QCOMPARE(sim.receivedBytes(), QByteArray("D1AS"));
        QCOMPARE(w.mirror(1), tableOf(sim));
        QCOMPARE(inController->rowCount(), 2);
        QVERIFY(w.doc()->IsModified());
        QCOMPARE(status(), QStringLiteral("OK"));

        // An erase the controller does not confirm is not shown as "OK".
        OperationsWorld::select(inController, {id(2)});
        sim.setReply('D', "D>#", "ER?", 1);
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_REMOVEIDTABLE));
        QCOMPARE(sim.receivedBytes(), QByteArray("D03S"));
        QCOMPARE(status(), QStringLiteral("Error 3"));
        QCOMPARE(w.mirror(1), tableOf(sim));
        QCOMPARE(inController->rowCount(), int(tableOf(sim).size()));

        // Clear: "C", then the empty table read back.
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_CLEARIDTABLE));
        QCOMPARE(sim.receivedBytes(), QByteArray("CS"));
        QCOMPARE(sim.usedSlots(), 0);
        QVERIFY(w.mirror(1).empty());
        QCOMPARE(inController->rowCount(), 0);
        QCOMPARE(status(), QStringLiteral("OK"));

        // Removing the last remaining entry leaves an empty list.
        sim.setSlot(0x07, id(3));
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        OperationsWorld::select(inController, {id(3)});
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_REMOVEIDTABLE));
        QCOMPARE(sim.receivedBytes(), QByteArray("D07S"));
        QCOMPARE(inController->rowCount(), 0);
        QVERIFY(w.mirror(1).empty());

        // A clear the controller does not answer: the code, no listing.
        sim.setSlot(0x07, id(3));
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        sim.setFault('C', Vr12Simulator::Fault::Silent, 1);
        sim.clearReceived();
        QVERIFY(w.run(ID_TERM_CLEARIDTABLE));
        QCOMPARE(sim.receivedBytes(), QByteArray("C"));
        QCOMPARE(status(), QStringLiteral("Error 1"));
        QCOMPARE(w.mirror(1), tableOf(sim));
    }

    // The controller is switched off during a removal: the run stops after three unanswered
    // erases instead of one time-out for each entry left, says how many went and why, and
    // leaves the mirror as it was rather than reading a table from a controller that is gone.
    void removalStopsWhenTheControllerFallsSilent() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        OperationsWorld w;
        QVERIFY(
            w.startWith(QStringLiteral("gone"), employees(3), {{1, controller("Front", 1, 0)}}));
        CTermFormView* form = w.selectController(1);
        QVERIFY(form);
        CTermEmpView* inController = CTermEmpView::Instance();
        sim.fillTable(12);
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        const auto before = w.mirror(1);
        QCOMPARE(before.size(), size_t(12));
        QList<int> all;
        for (int r = 0; r < inController->rowCount(); ++r)
            all << r;
        inController->setSelectedRows(all);
        QCOMPARE(inController->selectedCount(), 12);

        sim.setFault('D', Vr12Simulator::Fault::Silent, -1, 2);
        sim.clearReceived();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(w.run(ID_TERM_REMOVEIDTABLE));
        const qint64 took = clock.elapsed();
        qInfo("a removal from a controller gone silent took %lld ms", took);
        const QByteArray wire = sim.receivedBytes();
        QCOMPARE(wire.count('D'), 5);
        QVERIFY2(!wire.contains('S'), wire.constData());
        QCOMPARE(sim.usedSlots(), 10);
        QCOMPARE(form->field(IDC_TERM_STATUS)->text(), QStringLiteral("Error 1"));
        QCOMPARE(w.prompts.stops,
                 QStringList{QStringLiteral("The controller stopped answering. 2 of 12 entries "
                                            "were removed from its ID table; the others were not "
                                            "tried.")});
        QCOMPARE(w.mirror(1), before);
        QVERIFY(w.mainWindow()->isEnabled());
        QVERIFY(!progressWindow());
        // Three unanswered erases of about 1 s each, far from ten.
        QVERIFY2(took < 5500, qPrintable(QString::number(took)));
    }

    // One controller command at a time: while an ID table command lets events through, the
    // others are disabled, refused by the command table, and ignored should one reach the
    // operations past it; nothing cuts into the running command's exchanges.
    void oneCommandAtATime() {
        Vr12Simulator sim;
        QVERIFY(sim.start(TestWorld::instance()->deviceDir(), 1));
        OperationsWorld w;
        QVERIFY(
            w.startWith(QStringLiteral("single"), employees(3), {{1, controller("Front", 1, 0)}}));
        CTermFormView* form = w.selectController(1);
        QVERIFY(form);
        sim.fillTable(12);
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        // Every command offered before: employees, controller and table rows are selected.
        OperationsWorld::select(CEmpView::Instance(), {id(1)});
        OperationsWorld::select(CTermEmpView::Instance(), {Vr12Simulator::mediaIdFor(3)});
        for (const int command : OperationsWorld::kCommands)
            QVERIFY2(w.enabled(command), qPrintable(QString::number(command)));

        sim.setPaced(true);
        sim.clearReceived();
        form->SetFirmware("before");
        QList<int> offered, carriedOut;
        int tried = 0;
        QTimer intruder;
        intruder.setInterval(5);
        QObject::connect(&intruder, &QTimer::timeout, [&] {
            if (!progressWindow() || tried > 0)
                return;
            for (const int command : OperationsWorld::kCommands) {
                if (w.enabled(command))
                    offered << command;
                if (w.run(command))
                    carriedOut << command;
                for (ICommandTarget* target : w.commands().route())
                    if (target->OnCommand(command))
                        break;
                ++tried;
            }
        });
        intruder.start();
        QVERIFY(w.run(ID_TERM_READIDTABLE));
        intruder.stop();
        QCOMPARE(tried, int(std::size(OperationsWorld::kCommands)));
        QCOMPARE(offered, QList<int>());
        QCOMPARE(carriedOut, QList<int>());
        QCOMPARE(sim.receivedBytes(), QByteArray("S"));
        QCOMPARE(w.mirror(1), tableOf(sim));
        QCOMPARE(w.mirror(1).size(), size_t(12));
        QCOMPARE(form->Firmware(), std::string("before"));
        QVERIFY(w.prompts.stops.isEmpty());
        // Afterwards they are offered again (the refilled list has lost its selection).
        OperationsWorld::select(CTermEmpView::Instance(), {Vr12Simulator::mediaIdFor(3)});
        for (const int command : OperationsWorld::kCommands)
            QVERIFY2(w.enabled(command), qPrintable(QString::number(command)));
    }
};

TARVEX_TEST_MAIN(TestIdTableOperations)
#include "tst_idtableoperations.moc"

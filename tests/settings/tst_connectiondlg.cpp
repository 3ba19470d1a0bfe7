// The connection dialog against the drivers and data sources of the test's own ODBC registry.
#include "boundedopen.h"
#include "connectiondlg.h"
#include "dbfixture.h"
#include "resourceids.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace std::chrono_literals;
using namespace res;

namespace {
template <class W> W* item(QWidget* dialog, int id) {
    return dialog->findChild<W*>(QString::number(id));
}

// Runs `act` on the dialog once its loop runs; `act` ends it.
void whenShown(const std::function<void(CConnectionDlg*)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dlg = qobject_cast<CConnectionDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        act(dlg);
        // A failed check leaves the dialog open: end it so the test can report.
        if (dlg->isVisible())
            dlg->reject();
    });
}

void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}
} // namespace

class TestConnectionDlg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void offersDriversAndDataSources();
    void editingStartsFromTheStringAndMasksThePassword();
    void fieldsAndRawTextStayInStep();
    void cancelKeepsTheString();
    void testShowsTheDriversAnswer();
    void testGivesUpOnAConnectionThatHangs();

private:
    QString m_db;
};

void TestConnectionDlg::initTestCase() {
    QCOMPARE(runStatements("photos.db", {"create table staff(id text)"}), QString());
    m_db = TestWorld::instance()->path("photos.db");
    QFile ini(qEnvironmentVariable("ODBCINI"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[PhotoSource]\nDriver=SQLite3\nDatabase=" + m_db.toUtf8() + "\n");
}

void TestConnectionDlg::offersDriversAndDataSources() {
    CConnectionDlg dlg;
    auto* drivers = item<QComboBox>(&dlg, IDC_DL_DRIVER);
    auto* sources = item<QComboBox>(&dlg, IDC_DL_DSN);
    QVERIFY(drivers->findText(QStringLiteral("SQLite3")) >= 0);
    QVERIFY(sources->findText(QStringLiteral("PhotoSource")) >= 0);

    // A new connection starts empty, on a driver; picking a data source names it instead.
    whenShown([](CConnectionDlg* d) {
        QVERIFY(item<QRadioButton>(d, IDC_DL_USE_DRIVER)->isChecked());
        QCOMPARE(item<QLineEdit>(d, IDC_DL_RAW)->text(), QString());
        item<QRadioButton>(d, IDC_DL_USE_DSN)->click();
        auto* dsn = item<QComboBox>(d, IDC_DL_DSN);
        QVERIFY(dsn->isEnabled());
        QVERIFY(!item<QComboBox>(d, IDC_DL_DRIVER)->isEnabled());
        dsn->setCurrentIndex(dsn->findText(QStringLiteral("PhotoSource")));
        d->accept();
    });
    QVERIFY(dlg.PromptNew());
    QCOMPARE(dlg.GetConnectionString(), QStringLiteral("DSN=PhotoSource"));
}

void TestConnectionDlg::editingStartsFromTheStringAndMasksThePassword() {
    CConnectionDlg dlg;
    const QString start = QStringLiteral("Driver=SQLite3;Database=/srv/a.db;UID=cam;PWD=s3cret;"
                                         "Timeout=100");
    whenShown([](CConnectionDlg* d) {
        QCOMPARE(item<QComboBox>(d, IDC_DL_DRIVER)->currentText(), QStringLiteral("SQLite3"));
        QCOMPARE(item<QLineEdit>(d, IDC_DL_DATABASE)->text(), QStringLiteral("/srv/a.db"));
        QCOMPARE(item<QLineEdit>(d, IDC_DL_USER)->text(), QStringLiteral("cam"));
        auto* password = item<QLineEdit>(d, IDC_DL_PASSWORD);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(password->displayText().contains(QLatin1String("s3cret")), false);
        const QString raw = item<QLineEdit>(d, IDC_DL_RAW)->text();
        QVERIFY2(!raw.contains(QLatin1String("s3cret")), qPrintable(raw));
        QVERIFY(raw.contains(QLatin1String("UID=cam;PWD=*")));
        auto* extras = item<QTableWidget>(d, IDC_DL_EXTRAS);
        QCOMPARE(extras->item(0, 0)->text(), QStringLiteral("Timeout"));
        QCOMPARE(extras->item(0, 1)->text(), QStringLiteral("100"));
        d->accept();
    });
    QVERIFY(dlg.PromptEdit(start));
    // Confirmed without a change, the password is still the real one.
    QCOMPARE(dlg.GetConnectionString(), start);
}

void TestConnectionDlg::fieldsAndRawTextStayInStep() {
    CConnectionDlg dlg;
    whenShown([this](CConnectionDlg* d) {
        auto* raw = item<QLineEdit>(d, IDC_DL_RAW);
        typeInto(item<QLineEdit>(d, IDC_DL_DATABASE), m_db);
        auto* drivers = item<QComboBox>(d, IDC_DL_DRIVER);
        drivers->setCurrentIndex(drivers->findText(QStringLiteral("SQLite3")));
        QCOMPARE(raw->text(), QStringLiteral("Driver=SQLite3;Database=") + m_db);
        typeInto(item<QLineEdit>(d, IDC_DL_PASSWORD), QStringLiteral("pw;x"));
        QCOMPARE(raw->text(), QStringLiteral("Driver=SQLite3;Database=") + m_db +
                                  QStringLiteral(";PWD=********"));
        // A free key typed into the last, empty row; a new empty row follows it.
        auto* extras = item<QTableWidget>(d, IDC_DL_EXTRAS);
        const int last = extras->rowCount() - 1;
        extras->item(last, 0)->setText(QStringLiteral("NoTXN"));
        extras->item(last, 1)->setText(QStringLiteral("1"));
        QCOMPARE(extras->rowCount(), last + 2);
        QVERIFY(raw->text().endsWith(QLatin1String(";NoTXN=1")));
        // The raw text typed over: the fields follow, the masked password stays the real one.
        typeInto(raw, QStringLiteral("Driver=SQLite3;Database=/other.db;PWD=********;UID=me"));
        QCOMPARE(item<QLineEdit>(d, IDC_DL_DATABASE)->text(), QStringLiteral("/other.db"));
        QCOMPARE(item<QLineEdit>(d, IDC_DL_USER)->text(), QStringLiteral("me"));
        QCOMPARE(item<QLineEdit>(d, IDC_DL_PASSWORD)->text(), QStringLiteral("pw;x"));
        QCOMPARE(extras->rowCount(), 1);
        d->accept();
    });
    QVERIFY(dlg.PromptNew());
    QCOMPARE(dlg.GetConnectionString(),
             QStringLiteral("Driver=SQLite3;Database=/other.db;PWD={pw;x};UID=me"));
}

void TestConnectionDlg::cancelKeepsTheString() {
    CConnectionDlg dlg;
    whenShown([](CConnectionDlg* d) { d->accept(); });
    QVERIFY(dlg.PromptEdit(QStringLiteral("DSN=PhotoSource")));
    whenShown([](CConnectionDlg* d) {
        typeInto(item<QLineEdit>(d, IDC_DL_SERVER), QStringLiteral("elsewhere"));
        d->reject();
    });
    QVERIFY(!dlg.PromptEdit(QStringLiteral("DSN=PhotoSource;UID=x")));
    QCOMPARE(dlg.GetConnectionString(), QStringLiteral("DSN=PhotoSource"));
}

void TestConnectionDlg::testShowsTheDriversAnswer() {
    CConnectionDlg dlg;
    QString good, undefined, missing;
    whenShown([&](CConnectionDlg* d) {
        auto* test = item<QPushButton>(d, IDC_DL_TEST);
        test->click();
        good = d->testResult();
        typeInto(item<QLineEdit>(d, IDC_DL_RAW), QStringLiteral("DSN=NobodysSource"));
        test->click();
        undefined = d->testResult();
        typeInto(item<QLineEdit>(d, IDC_DL_RAW),
                 QStringLiteral("Driver=SQLite3;Database=/nowhere/x.db"));
        test->click();
        missing = d->testResult();
        d->reject();
    });
    dlg.PromptEdit(QStringLiteral("DSN=PhotoSource"));
    QCOMPARE(good, QStringLiteral("Connection succeeded."));
    // The driver manager's own words come through.
    QVERIFY2(undefined.contains(QLatin1String("Data source name not found")),
             qPrintable(undefined));
    QVERIFY2(missing.contains(QLatin1String("/nowhere/x.db")), qPrintable(missing));
}

void TestConnectionDlg::testGivesUpOnAConnectionThatHangs() {
    QCOMPARE(runStatements("held.db", {"create table t(a integer)"}), QString());
    CADODataBase holder;
    QVERIFY(holder.Open(TestWorld::instance()->sqliteConnection("held.db")));
    CADORecordset lock(&holder);
    QVERIFY(lock.Open(QStringLiteral("begin exclusive")));
    QVERIFY(lock.Open(QStringLiteral("insert into t values (1)")));

    CConnectionDlg dlg;
    dlg.setTestLimit(1500ms);
    QString result;
    qint64 took = 0;
    whenShown([&](CConnectionDlg* d) {
        QElapsedTimer clock;
        clock.start();
        item<QPushButton>(d, IDC_DL_TEST)->click();
        took = clock.elapsed();
        result = d->testResult();
        d->accept();
    });
    // The driver would wait ten minutes for the lock.
    QVERIFY(dlg.PromptEdit(TestWorld::instance()->sqliteConnection("held.db") +
                           QStringLiteral(";Timeout=600000")));
    QVERIFY2(took >= 1400 && took < 6000, qPrintable(QString::number(took)));
    QCOMPARE(result, QStringLiteral("The database did not answer within 1.5 seconds."));
    QVERIFY(lock.Open(QStringLiteral("rollback")));
    QTRY_COMPARE_WITH_TIMEOUT(AbandonedConnectionAttempts(), 0, 20000);
}

TARVEX_TEST_MAIN(TestConnectionDlg)
#include "tst_connectiondlg.moc"

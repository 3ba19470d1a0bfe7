// The one wait cursor: shown while it lives, given back in order when nested, and nothing at
// all where no GUI application exists (a tool or a headless test).
#include "testworld.h"
#include "waitcursor.h"

#include <QApplication>
#include <QtTest>

class TestWaitCursorWithoutDisplay : public QObject {
    Q_OBJECT
private slots:
    void doesNothingWithoutAGuiApplication() {
        QVERIFY(!qobject_cast<QGuiApplication*>(QCoreApplication::instance()));
        {
            const CWaitCursor outer;
            const CWaitCursor inner;
        }
        // Still here: nothing reached for a cursor that cannot exist.
        QVERIFY(QCoreApplication::instance());
    }
};

class TestWaitCursor : public QObject {
    Q_OBJECT
private slots:
    void shownWhileItLivesAndGivenBackInOrder() {
        QVERIFY(!QGuiApplication::overrideCursor());
        {
            const CWaitCursor outer;
            QVERIFY(QGuiApplication::overrideCursor());
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            {
                QGuiApplication::setOverrideCursor(Qt::IBeamCursor);
                const CWaitCursor inner;
                QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            }
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::IBeamCursor);
            QGuiApplication::restoreOverrideCursor();
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

int main(int argc, char** argv) {
    TestWorld world;
    int failed = 0;
    {
        QCoreApplication app(argc, argv);
        TestWaitCursorWithoutDisplay headless;
        failed += QTest::qExec(&headless, argc, argv);
    }
    {
        QApplication app(argc, argv);
        TestWaitCursor windows;
        failed += QTest::qExec(&windows, argc, argv);
    }
    return failed;
}

#include "tst_waitcursor.moc"

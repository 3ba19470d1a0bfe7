// The photo window on the offscreen platform against the real SQLite ODBC driver: what it
// shows, when it asks the database, its menu, close box, placement, the Toggle photograph
// command, and how the program hands it registrations and picked rows.
#include "adodatabase.h"
#include "appsettings.h"
#include "cmdui.h"
#include "commandmanager.h"
#include "mainframe.h"
#include "mainpanes.h"
#include "photocommands.h"
#include "photodbfixture.h"
#include "photoframe.h"
#include "photoview.h"
#include "regview.h"
#include "reportsender.h"
#include "resourceids.h"
#include "scriptedprompts.h"
#include "tarvexapp.h"
#include "testapp.h"
#include "testworld.h"
#include "windowplacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include <memory>

namespace {
const QString kAlbers = QStringLiteral("F20000001A2B3C4D");
const QString kBrandt = QStringLiteral("C00000A1B2C3D401");
const QColor kAlbersColour(220, 40, 40);

bool near(QRgb a, QColor b, int tolerance = 12) {
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

void useColumns() {
    CAppSettings& s = CAppSettings::instance();
    s.PhotoTable = QStringLiteral("Photos");
    s.PhotoLastName = QStringLiteral("Surname");
    s.PhotoFirstName = QStringLiteral("Given");
    s.PhotoMediaID = QStringLiteral("Card");
    s.PhotoPhoto = QStringLiteral("Picture");
}

std::unique_ptr<QSettings> store() {
    return CAppSettings::openStore();
}

// Lets the look-up the view asked for run (from the event loop, while the view is on screen)
// and returns what the view then paints.
QImage afterLookUp(CPhotoView* view) {
    QElapsedTimer waited;
    waited.start();
    while (view->lookUpPending() && view->isVisible() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return view->grab().toImage();
}
} // namespace

class TestPhotoWindow : public QObject {
    Q_OBJECT

    QString file = QStringLiteral("photos.db");
    CADODataBase db;
    std::unique_ptr<CPhotoFrame> frame;

    void fillTable(const QList<PhotoRow>& rows) {
        db.Close();
        const QString failure = makePhotoTable(file, rows);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(db.Open(TestWorld::instance()->sqliteConnection(file)));
    }

    CPhotoView* view() const { return frame->view(); }

    // Shows the window, lets the look-up run and returns what the view then paints.
    QImage painted() const {
        frame->show();
        return afterLookUp(view());
    }

    // The program started on the photo table of the test world, its photo window shown.
    std::unique_ptr<CTarvexApp> startProgram(ScriptedPrompts& prompts) {
        frame.reset();
        auto s = store();
        s->setValue(QStringLiteral("Settings/UsePhoto"), 1);
        s->setValue(QStringLiteral("Settings/ShowPhoto"), 1);
        s->setValue(QStringLiteral("Settings/PhotoDB"),
                    TestWorld::instance()->sqliteConnection(file));
        s->setValue(QStringLiteral("Settings/PhotoTable"), QStringLiteral("Photos"));
        s->setValue(QStringLiteral("Settings/PhotoLastName"), QStringLiteral("Surname"));
        s->setValue(QStringLiteral("Settings/PhotoFirstName"), QStringLiteral("Given"));
        s->setValue(QStringLiteral("Settings/PhotoMediaID"), QStringLiteral("Card"));
        s->setValue(QStringLiteral("Settings/PhotoPhoto"), QStringLiteral("Picture"));
        s->sync();
        auto app = makeTestApp(TestWorld::instance()->path(QStringLiteral("program")), prompts);
        if (!app->InitInstance())
            return nullptr;
        return app;
    }

private slots:
    void init() {
        QDir::setCurrent(TestWorld::instance()->root());
        store()->clear();
        useColumns();
        CAppSettings::instance().UsePhoto = true;
        CAppSettings::instance().ShowPhoto = false;
        fillTable({{QStringLiteral("Albers"), QStringLiteral("Dana"), kAlbers,
                    colourJpeg(100, 200, kAlbersColour)},
                   {QStringLiteral("Brandt"), QString(), kBrandt, colourJpeg(50, 50, Qt::green)}});
        frame = std::make_unique<CPhotoFrame>();
        QVERIFY(frame->Create());
        frame->setDatabase([this] { return &db; });
    }

    void cleanup() { frame.reset(); }

    void frameIsTheDesignedWindow() {
        QCOMPARE(frame->windowTitle(), QStringLiteral("Tarvex Photo"));
        QVERIFY(frame->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!frame->isVisible());
        const QList<QAction*> tops = frame->menuBar()->actions();
        QCOMPARE(tops.size(), 1);
        QCOMPARE(tops[0]->text(), QStringLiteral("&File"));
        const QList<QAction*> items = tops[0]->menu()->actions();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->text(), QStringLiteral("&Close"));
        QCOMPARE(items[0]->data().toInt(), res::ID_PHOTO_CLOSE);
        QVERIFY(items[0]->isEnabled());
        QVERIFY(frame->statusBar()->isVisibleTo(frame.get()));
        QVERIFY(view()->captionFont().bold());
    }

    void showsThePersonFittedWithTheCaption() {
        frame->resize(400, 400);
        frame->show();
        frame->SetPhoto(kAlbers, QStringLiteral("08:15:00"));
        const QImage shot = painted();
        QCOMPARE(view()->lastName(), QStringLiteral("Albers"));
        QCOMPARE(view()->firstName(), QStringLiteral("Dana"));
        QCOMPARE(view()->captionLine(), QStringLiteral("08:15:00 Albers Dana"));
        QCOMPARE(view()->picture().size(), QSize(100, 200));
        const QRect at = view()->pictureRect();
        QCOMPARE(at.height(), view()->height());
        QCOMPARE(at.width(), view()->height() / 2);
        // Picture in the middle, black beside it, and the caption's white at the bottom.
        QVERIFY(near(shot.pixel(at.center().x(), at.top() + 5), kAlbersColour));
        QCOMPARE(QColor(shot.pixel(2, 2)), QColor(Qt::black));
        bool white = false;
        for (int y = shot.height() - 20; y < shot.height() && !white; ++y)
            for (int x = 0; x < shot.width() && !white; ++x)
                white = qGray(shot.pixel(x, y)) > 200 && !near(shot.pixel(x, y), kAlbersColour);
        QVERIFY(white);
    }

    void missingNamesOrRowsShowTheMediaId() {
        // A last name without a first name: the MediaID instead of the names.
        frame->SetPhoto(kBrandt, QStringLiteral("09:00:00"));
        painted();
        QCOMPARE(view()->captionLine(), QStringLiteral("09:00:00 ") + kBrandt);
        QCOMPARE(view()->picture().size(), QSize(50, 50));
        // Two rows of one MediaID: no names and the previous picture's size in black.
        fillTable({{QStringLiteral("Albers"), QStringLiteral("Dana"), kAlbers,
                    colourJpeg(100, 200, kAlbersColour)},
                   {QStringLiteral("Twin"), QStringLiteral("Row"), kAlbers,
                    colourJpeg(100, 200, kAlbersColour)}});
        frame->SetPhoto(kAlbers, QStringLiteral("09:00:01"));
        const QImage shot = painted();
        QCOMPARE(view()->captionLine(), QStringLiteral("09:00:01 ") + kAlbers);
        QCOMPARE(view()->picture().size(), QSize(50, 50));
        QCOMPARE(QColor(view()->picture().pixel(25, 25)), QColor(Qt::black));
        QCOMPARE(QColor(shot.pixel(shot.width() / 2, shot.height() / 3)), QColor(Qt::black));
    }

    void badPicturesShowBlackWithTheCaption() {
        QByteArray truncated = colourJpeg(300, 300, Qt::yellow);
        truncated.chop(truncated.size() / 3);
        fillTable(
            {{QStringLiteral("Text"), QStringLiteral("Blob"), QStringLiteral("T"),
              QByteArray("no picture here")},
             {QStringLiteral("Cut"), QStringLiteral("Short"), QStringLiteral("C"), truncated}});
        for (const QString& id : {QStringLiteral("T"), QStringLiteral("C")}) {
            frame->SetPhoto(id, QStringLiteral("10:00:00"));
            const QImage shot = painted();
            QVERIFY(view()->picture().isNull());
            QCOMPARE(QColor(shot.pixel(shot.width() / 2, shot.height() / 3)), QColor(Qt::black));
            QVERIFY(view()->captionLine().endsWith(view()->lastName() + QLatin1Char(' ') +
                                                   view()->firstName()));
        }
    }

    void aQuoteInTheMediaIdFindsItsRow() {
        const QString quoted = QStringLiteral("AB'CD");
        fillTable({{QStringLiteral("Quinn"), QStringLiteral("Oona"), quoted,
                    colourJpeg(20, 20, Qt::blue)}});
        frame->SetPhoto(quoted, QStringLiteral("11:00:00"));
        painted();
        QCOMPARE(view()->captionLine(), QStringLiteral("11:00:00 Quinn Oona"));
        QCOMPARE(view()->picture().size(), QSize(20, 20));
    }

    void theDatabaseIsAskedOncePerPhoto() {
        frame->resize(300, 300);
        frame->show();
        frame->SetPhoto(kAlbers, QStringLiteral("12:00:00"));
        painted();
        QCOMPARE(view()->lastName(), QStringLiteral("Albers"));
        // The row changes behind the window's back: resizing and repainting keep what was
        // read; a new SetPhoto or a reopened database reads again.
        QVERIFY(runStatements(file, {QStringLiteral("update Photos set Surname = 'Renamed'")})
                    .isEmpty());
        for (int w = 310; w < 400; w += 15) {
            frame->resize(w, 300);
            painted();
        }
        QCOMPARE(view()->lastName(), QStringLiteral("Albers"));
        QVERIFY(near(painted().pixel(view()->pictureRect().center()), kAlbersColour));
        frame->OnPhotoDatabaseReopened();
        painted();
        QCOMPARE(view()->lastName(), QStringLiteral("Renamed"));
        QVERIFY(
            runStatements(file, {QStringLiteral("update Photos set Surname = 'Again'")}).isEmpty());
        frame->SetPhoto(kAlbers, QStringLiteral("12:00:01"));
        painted();
        QCOMPARE(view()->lastName(), QStringLiteral("Again"));
    }

    void placeholderIsShownUntilTheLookUpAndKeepsItsSizeWhenNothingIsFound() {
        // "../Brindlo left.bmp" from a working folder one below the world's root.
        QDir(TestWorld::instance()->root()).mkpath(QStringLiteral("work"));
        QImage placeholder(30, 60, QImage::Format_RGB32);
        placeholder.fill(Qt::white);
        QVERIFY(placeholder.save(TestWorld::instance()->path(QStringLiteral("Brindlo left.bmp")),
                                 "BMP"));
        QDir::setCurrent(TestWorld::instance()->path(QStringLiteral("work")));
        frame->SetPhoto(QStringLiteral("nobody"), QStringLiteral("13:00:00"));
        QCOMPARE(view()->picture().size(), QSize(30, 60));
        QCOMPARE(QColor(view()->picture().pixel(1, 1)), QColor(Qt::white));
        painted();
        QCOMPARE(view()->picture().size(), QSize(30, 60));
        QCOMPARE(QColor(view()->picture().pixel(1, 1)), QColor(Qt::black));
        QCOMPARE(view()->captionLine(), QStringLiteral("13:00:00 nobody"));
        // Found: the database's picture replaces it.
        frame->SetPhoto(kAlbers, QStringLiteral("13:00:01"));
        painted();
        QCOMPARE(view()->picture().size(), QSize(100, 200));
        // Without the file nothing is said and nothing replaced.
        QFile::remove(TestWorld::instance()->path(QStringLiteral("Brindlo left.bmp")));
        frame->SetPhoto(kBrandt, QString());
        QCOMPARE(view()->picture().size(), QSize(100, 200));
    }

    void closeBoxAndFileCloseOnlyHide() {
        CAppSettings::instance().ShowPhoto = true;
        frame->show();
        QCloseEvent close;
        QApplication::sendEvent(frame.get(), &close);
        QVERIFY(!close.isAccepted());
        QVERIFY(!frame->isVisible());
        QVERIFY(!CAppSettings::instance().ShowPhoto);

        CAppSettings::instance().ShowPhoto = true;
        frame->show();
        QVERIFY(frame->commands().execute(res::ID_PHOTO_CLOSE));
        QVERIFY(!frame->isVisible());
        QVERIFY(!CAppSettings::instance().ShowPhoto);
    }

    void toggleFollowsUsePhotoAndShowPhoto() {
        CPhotoCommands commands(*frame);
        CAppSettings& s = CAppSettings::instance();
        s.UsePhoto = false;
        s.ShowPhoto = true;
        CCmdUI ui(res::ID_VIEW_PHOTO);
        QVERIFY(commands.OnUpdateCommand(res::ID_VIEW_PHOTO, ui));
        QVERIFY(!ui.enabled() && !ui.checked());
        QVERIFY(!s.ShowPhoto);

        s.UsePhoto = true;
        QVERIFY(commands.OnCommand(res::ID_VIEW_PHOTO));
        QVERIFY(s.ShowPhoto && frame->isVisible());
        CCmdUI on(res::ID_VIEW_PHOTO);
        commands.OnUpdateCommand(res::ID_VIEW_PHOTO, on);
        QVERIFY(on.enabled() && on.checked());
        // Closed with its close box, then toggled: back at its last place.
        frame->move(140, 90);
        const QPoint place = frame->pos();
        frame->close();
        QVERIFY(!frame->isVisible() && !s.ShowPhoto);
        CCmdUI off(res::ID_VIEW_PHOTO);
        commands.OnUpdateCommand(res::ID_VIEW_PHOTO, off);
        QVERIFY(off.enabled() && !off.checked());
        QVERIFY(commands.OnCommand(res::ID_VIEW_PHOTO));
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->pos(), place);
        QVERIFY(commands.OnCommand(res::ID_VIEW_PHOTO));
        QVERIFY(!frame->isVisible() && !s.ShowPhoto);
        QVERIFY(!commands.OnCommand(res::ID_VIEW_SETTINGS));
    }

    void placementAppliesAtTheFirstShowingOnlyAndIsWrittenAtTheEnd() {
        CWindowPlacement stored;
        stored.setNormalRect(QRect(60, 70, 330, 360));
        store()->setValue(QStringLiteral("Settings/PlacementPhoto"), stored.toBytes());
        frame.reset();
        frame = std::make_unique<CPhotoFrame>();
        QVERIFY(frame->Create());
        frame->show();
        QCOMPARE(frame->geometry(), QRect(60, 70, 330, 360));
        frame->setGeometry(QRect(120, 130, 300, 310));
        frame->hide();
        frame->show();
        QCOMPARE(frame->geometry(), QRect(120, 130, 300, 310));
        frame.reset();
        const auto written = CWindowPlacement::fromBytes(
            store()->value(QStringLiteral("Settings/PlacementPhoto")).toByteArray());
        QVERIFY(written);
        QCOMPARE(written->normalRect(), QRect(120, 130, 300, 310));
        QCOMPARE(store()->value(QStringLiteral("Settings/PlacementPhoto")).toByteArray().size(),
                 44);
        QVERIFY(!store()->value(QStringLiteral("BarsPhoto/State")).toByteArray().isEmpty());

        // A run that never shows the window leaves the stored place alone.
        frame = std::make_unique<CPhotoFrame>();
        QVERIFY(frame->Create());
        frame.reset();
        QCOMPARE(CWindowPlacement::fromBytes(
                     store()->value(QStringLiteral("Settings/PlacementPhoto")).toByteArray())
                     ->normalRect(),
                 QRect(120, 130, 300, 310));
    }

    void theProgramHandsRegistrationsAndPickedRowsOver() {
        ScriptedPrompts prompts;
        auto app = startProgram(prompts);
        QVERIFY(app);
        QVERIFY2(prompts.stops.isEmpty(), qPrintable(prompts.stops.join(u'\n')));
        CPhotoFrame* photo = app->photoFrame();
        QVERIFY(photo->isVisible());

        // A registration handed over by a controller form.
        emit app->photoHandedOver(kAlbers, QStringLiteral("07:30:00"));
        afterLookUp(photo->view());
        QCOMPARE(photo->view()->captionLine(), QStringLiteral("07:30:00 Albers Dana"));
        // Reopening the photo database (start-up, the settings' OK) reads the row again.
        QVERIFY(
            runStatements(file, {QStringLiteral("update Photos set Given = 'Dora'")}).isEmpty());
        afterLookUp(photo->view());
        QCOMPARE(photo->view()->firstName(), QStringLiteral("Dana"));
        app->ReopenPhotoDB();
        afterLookUp(photo->view());
        QCOMPARE(photo->view()->captionLine(), QStringLiteral("07:30:00 Albers Dora"));

        // A picked row of the registrations list.
        auto* panes = qobject_cast<CMainPanes*>(app->mainFrame()->panes());
        QVERIFY(panes);
        CRegView* reg = panes->regView();
        reg->AddRow(QStringLiteral("2026-12-08"), QStringLiteral("07:31:00"), QStringLiteral("O"),
                    kBrandt, 1);
        reg->AddRow(QStringLiteral("2026-12-08"), QStringLiteral("07:32:00"), QStringLiteral("M"),
                    kAlbers, 1);
        reg->selectRow(0);
        QCOMPARE(photo->view()->mediaId(), kBrandt);
        QCOMPARE(photo->view()->caption(), QStringLiteral("07:31:00"));
        reg->selectRow(1);
        QCOMPARE(photo->view()->mediaId(), QString());
        QCOMPARE(photo->view()->caption(), QString());

        // Toggled off through the main window: picking rows no longer reaches it.
        QVERIFY(app->mainFrame()->commands().execute(res::ID_VIEW_PHOTO));
        QVERIFY(!photo->isVisible());
        reg->selectRow(0);
        QCOMPARE(photo->view()->mediaId(), QString());
        QVERIFY(app->mainFrame()->commands().execute(res::ID_VIEW_PHOTO));
        QVERIFY(photo->isVisible());
        QVERIFY(app->mainFrame()->commands().query(res::ID_VIEW_PHOTO).checked());
        app->ExitInstance();
        QCOMPARE(store()->value(QStringLiteral("Settings/ShowPhoto")).toInt(), 1);
        QCOMPARE(store()->value(QStringLiteral("Settings/PlacementPhoto")).toByteArray().size(),
                 44);
    }

    // Another connection holds the photo database write-locked. The registration's hand-over
    // and every paint return at once; the look-up gives up after the reporting command's
    // seconds instead of the driver's own minutes, and shows the MediaID without a picture.
    void aLockedPhotoDatabaseCostsTheTimeOutOnly() {
        ScriptedPrompts prompts;
        auto app = startProgram(prompts);
        QVERIFY(app);
        CPhotoView* shown = app->photoFrame()->view();
        QVERIFY(shown->isVisible());
        QCOMPARE(app->photoDatabase()->GetCommandTimeout(), kReportCommandTimeoutSeconds);

        CADODataBase holder;
        QVERIFY(holder.Open(TestWorld::instance()->sqliteConnection(file)));
        CADORecordset lock(&holder);
        QVERIFY2(lock.Open(QStringLiteral("begin exclusive")),
                 qPrintable(lock.GetLastErrorString()));
        QVERIFY(lock.Open(QStringLiteral("update Photos set Given = 'Held'")));

        QElapsedTimer clock;
        clock.start();
        emit app->photoHandedOver(kAlbers, QStringLiteral("08:00:00"));
        shown->grab();
        shown->repaint();
        const qint64 handedAndPainted = clock.elapsed();
        QVERIFY2(handedAndPainted < 500, qPrintable(QString::number(handedAndPainted)));
        QVERIFY(shown->lookUpPending());
        QCOMPARE(shown->captionLine(), QStringLiteral("08:00:00 ") + kAlbers);

        clock.restart();
        const QImage shot = afterLookUp(shown);
        const qint64 waited = clock.elapsed();
        qInfo("a locked photo database held the look-up for %lld ms", waited);
        QVERIFY(!shown->lookUpPending());
        QCOMPARE(shown->captionLine(), QStringLiteral("08:00:00 ") + kAlbers);
        QVERIFY(!near(shot.pixel(shot.width() / 2, shot.height() / 3), kAlbersColour));
        QVERIFY2(waited >= kReportCommandTimeoutSeconds * 1000 * 6 / 10,
                 qPrintable(QString::number(waited)));
        QVERIFY2(waited < kReportCommandTimeoutSeconds * 1000 + 4000,
                 qPrintable(QString::number(waited)));

        // The lock gone, the next registration finds its row.
        QVERIFY(lock.Open(QStringLiteral("rollback")));
        emit app->photoHandedOver(kAlbers, QStringLiteral("08:00:01"));
        afterLookUp(shown);
        QCOMPARE(shown->captionLine(), QStringLiteral("08:00:01 Albers Dana"));
        app->ExitInstance();
    }
};

TARVEX_TEST_MAIN(TestPhotoWindow)
#include "tst_photowindow.moc"

// The photo look-up against the real SQLite ODBC driver: the record-count rule, the names,
// the picture bytes, and MediaIDs with quotes in them.
#include "adodatabase.h"
#include "photodbfixture.h"
#include "photolookup.h"
#include "testworld.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

namespace {
const PhotoColumns kColumns{QStringLiteral("Photos"), QStringLiteral("Surname"),
                            QStringLiteral("Given"), QStringLiteral("Card"),
                            QStringLiteral("Picture")};
const QString kAlbers = QStringLiteral("F20000001A2B3C4D01");
} // namespace

class TestPhotoLookup : public QObject {
    Q_OBJECT

    QString file = QStringLiteral("photos.db");
    CADODataBase db;

    void openWith(const QList<PhotoRow>& rows) {
        db.Close();
        const QString failure = makePhotoTable(file, rows);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY2(db.Open(TestWorld::instance()->sqliteConnection(file)),
                 qPrintable(db.GetLastErrorString()));
        // The look-ups below go through the bound form.
        QVERIFY(db.supportsParameters());
    }

private slots:
    void queryNamesTheConfiguredColumns() {
        QCOMPARE(photoQuery(kColumns, QStringLiteral("0011")),
                 QStringLiteral("select [Surname] as Prezime, [Given] as Ime, [Picture] as "
                                "Fotografija from [Photos] where [Card] = '0011'"));
        QVERIFY(photoQuery(kColumns, QStringLiteral("O'Neil"))
                    .endsWith(QStringLiteral("[Card] = 'O''Neil'")));
        // A driver that takes bound values gets the MediaID as one.
        QCOMPARE(photoQueryBound(kColumns),
                 QStringLiteral("select [Surname] as Prezime, [Given] as Ime, [Picture] as "
                                "Fotografija from [Photos] where [Card] = ?"));
    }

    void exactlyOneRowGivesNamesAndPicture() {
        openWith({{QStringLiteral("Albers"), QStringLiteral("Dana"), kAlbers,
                   colourJpeg(100, 200, QColor(220, 40, 40))},
                  {QStringLiteral("Brandt"), QStringLiteral("Milo"), QStringLiteral("B"), {}}});
        PhotoRecord r = lookUpPhoto(&db, kColumns, kAlbers);
        QCOMPARE(r.lastName, QStringLiteral("Albers"));
        QCOMPARE(r.firstName, QStringLiteral("Dana"));
        QCOMPARE(r.picture.size(), QSize(100, 200));
        // A row without a picture still names the person.
        r = lookUpPhoto(&db, kColumns, QStringLiteral("B"));
        QCOMPARE(r.lastName, QStringLiteral("Brandt"));
        QVERIFY(r.picture.isNull());
        // No row: nothing.
        r = lookUpPhoto(&db, kColumns, QStringLiteral("nobody"));
        QVERIFY(r.lastName.isEmpty() && r.firstName.isEmpty() && r.picture.isNull());
    }

    void twoRowsOfOneMediaIdGiveNothing() {
        openWith({{QStringLiteral("Albers"), QStringLiteral("Dana"), kAlbers,
                   colourJpeg(10, 10, Qt::red)},
                  {QStringLiteral("Other"), QStringLiteral("Person"), kAlbers,
                   colourJpeg(10, 10, Qt::green)}});
        const PhotoRecord r = lookUpPhoto(&db, kColumns, kAlbers);
        QVERIFY(r.lastName.isEmpty() && r.firstName.isEmpty() && r.picture.isNull());
        QCOMPARE(photoCaptionLine(QStringLiteral("08:15:00"), r.lastName, r.firstName, kAlbers),
                 QStringLiteral("08:15:00 ") + kAlbers);
    }

    void quotesInTheMediaIdStayInsideTheLiteral() {
        // A MediaID with a quote finds its own row instead of breaking the statement.
        const QString quoted = QStringLiteral("AB'CD");
        openWith({{QStringLiteral("Quinn"), QStringLiteral("Oona"), quoted,
                   colourJpeg(20, 20, Qt::blue)}});
        PhotoRecord r = lookUpPhoto(&db, kColumns, quoted);
        QCOMPARE(r.lastName, QStringLiteral("Quinn"));
        QCOMPARE(r.picture.size(), QSize(20, 20));
        // Nor can a MediaID widen the condition to the table's only row.
        r = lookUpPhoto(&db, kColumns, QStringLiteral("x' or '1'='1"));
        QVERIFY(r.lastName.isEmpty() && r.picture.isNull());
    }

    void badPicturesLeaveTheNames() {
        QByteArray truncated = colourJpeg(300, 300, Qt::yellow);
        truncated.chop(truncated.size() / 2);
        openWith(
            {{QStringLiteral("Text"), QStringLiteral("Column"), QStringLiteral("T"),
              QByteArray("this is no picture")},
             {QStringLiteral("Cut"), QStringLiteral("Short"), QStringLiteral("C"), truncated}});
        PhotoRecord r = lookUpPhoto(&db, kColumns, QStringLiteral("T"));
        QCOMPARE(r.lastName, QStringLiteral("Text"));
        QVERIFY(r.picture.isNull());
        r = lookUpPhoto(&db, kColumns, QStringLiteral("C"));
        QCOMPARE(r.lastName, QStringLiteral("Cut"));
        QVERIFY(r.picture.isNull());
        // A text value in the picture column (not bytes) gives no picture either.
        QVERIFY(runStatements(file, {QStringLiteral("create table Texts (Surname text, Given "
                                                    "text, Card text, Picture text)"),
                                     QStringLiteral("insert into Texts values ('A', 'B', 'X', "
                                                    "'not bytes')")})
                    .isEmpty());
        PhotoColumns texts = kColumns;
        texts.table = QStringLiteral("Texts");
        db.Close();
        QVERIFY(db.Open(TestWorld::instance()->sqliteConnection(file)));
        r = lookUpPhoto(&db, texts, QStringLiteral("X"));
        QCOMPARE(r.lastName, QStringLiteral("A"));
        QVERIFY(r.picture.isNull());
    }

    void failingQueriesAndClosedConnectionsGiveNothing() {
        openWith({});
        PhotoColumns wrong = kColumns;
        wrong.table = QStringLiteral("NoSuchTable");
        QVERIFY(lookUpPhoto(&db, wrong, kAlbers).lastName.isEmpty());
        db.Close();
        QVERIFY(lookUpPhoto(&db, kColumns, kAlbers).lastName.isEmpty());
        QVERIFY(lookUpPhoto(nullptr, kColumns, kAlbers).lastName.isEmpty());
    }

    // A picture value over the limit is refused as a damaged picture is: the names, no
    // picture. The values here are a JPEG followed by zeros its decoder ignores, so only the
    // size can refuse them.
    void oversizedPicturesAreNotRead() {
        const QByteArray jpeg = colourJpeg(40, 30, Qt::red);
        const auto padded = [&](const QString& card, qint64 size) {
            return QStringLiteral("insert into Photos values ('Big', 'Picture', '%1', "
                                  "cast(X'%2' || zeroblob(%3) as blob))")
                .arg(card, QString::fromLatin1(jpeg.toHex()))
                .arg(size - jpeg.size());
        };
        openWith({});
        const qint64 limit = 200 * 1024;
        QVERIFY(runStatements(file, {padded(QStringLiteral("at"), limit),
                                     padded(QStringLiteral("over"), limit + 1),
                                     padded(QStringLiteral("huge"), kMaxPictureBytes + 1)})
                    .isEmpty());
        db.Close();
        QVERIFY(db.Open(TestWorld::instance()->sqliteConnection(file)));

        PhotoRecord r = lookUpPhoto(&db, kColumns, QStringLiteral("at"), limit);
        QCOMPARE(r.picture.size(), QSize(40, 30));
        r = lookUpPhoto(&db, kColumns, QStringLiteral("over"), limit);
        QCOMPARE(r.lastName, QStringLiteral("Big"));
        QCOMPARE(r.firstName, QStringLiteral("Picture"));
        QVERIFY(r.picture.isNull());
        // The program's own limit.
        QVERIFY(lookUpPhoto(&db, kColumns, QStringLiteral("at")).picture.size() == QSize(40, 30));
        QElapsedTimer clock;
        clock.start();
        r = lookUpPhoto(&db, kColumns, QStringLiteral("huge"));
        qInfo("a picture value of %lld bytes was refused in %lld ms", kMaxPictureBytes + 1,
              clock.elapsed());
        QCOMPARE(r.lastName, QStringLiteral("Big"));
        QVERIFY(r.picture.isNull());
    }

    void captionLineNeedsBothNames() {
        QCOMPARE(photoCaptionLine(QStringLiteral("12:00:01"), QStringLiteral("Albers"),
                                  QStringLiteral("Dana"), kAlbers),
                 QStringLiteral("12:00:01 Albers Dana"));
        QCOMPARE(photoCaptionLine(QStringLiteral("12:00:01"), QStringLiteral("Albers"), QString(),
                                  kAlbers),
                 QStringLiteral("12:00:01 ") + kAlbers);
        QCOMPARE(photoCaptionLine(QString(), QString(), QString(), QString()), QStringLiteral(" "));
    }
};

TARVEX_TEST_MAIN(TestPhotoLookup)
#include "tst_photolookup.moc"

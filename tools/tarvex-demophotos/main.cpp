// tarvex-demophotos: writes the demo site's photo database, a SQLite file with one row per
// employee of a CSV file (last name, first name, media ID) and a drawn JPEG portrait, and
// optionally points the program's settings at it.
#include "adodatabase.h"
#include "adorecordset.h"
#include "adovalue.h"
#include "appsettings.h"
#include "jpegcodec.h"
#include "mediaid.h"
#include "portrait.h"
#include "tooloptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QStringList>

#include <cstdio>

namespace {
const char* kUsage =
    "usage: tarvex-demophotos PHOTOS.db EMPLOYEES.csv [--settings]\n"
    "  Creates PHOTOS.db (SQLite) with table Photos(LastName, FirstName, MediaID, Photo): one\n"
    "  row per line of EMPLOYEES.csv after its header (last name, first name, media ID), with\n"
    "  a drawn JPEG portrait. --settings switches photos on in the program's settings and\n"
    "  points them at this table.\n";

int fail(const QString& text) {
    std::fprintf(stderr, "tarvex-demophotos: %s\n", qPrintable(text));
    return 1;
}

QString sqlBlob(const QByteArray& bytes) {
    return QStringLiteral("X'%1'").arg(QString::fromLatin1(bytes.toHex()));
}
} // namespace

int main(int argc, char** argv) {
    int status = 0;
    if (tooloptions::answered("tarvex-demophotos", kUsage, argc, argv, &status))
        return status;
    // Drawing text needs a platform; none has to be on screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool writeSettings = args.removeAll(QStringLiteral("--settings")) > 0;
    for (const QString& a : args)
        if (tooloptions::looksLikeOption(a.toLocal8Bit().constData()))
            return tooloptions::unknownOption("tarvex-demophotos", a.toLocal8Bit().constData(),
                                              kUsage);
    if (args.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString dbFile = QFileInfo(args[0]).absoluteFilePath();
    QFile csv(args[1]);
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(args[1]));

    QStringList sql{QStringLiteral("drop table if exists Photos"),
                    QStringLiteral("create table Photos (LastName varchar(50), FirstName "
                                   "varchar(50), MediaID varchar(16), Photo blob)")};
    bool header = true;
    while (!csv.atEnd()) {
        const QString line = QString::fromUtf8(csv.readLine()).trimmed();
        if (header || line.isEmpty()) {
            header = false;
            continue;
        }
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() < 3)
            return fail(QStringLiteral("line without three fields: %1").arg(line));
        const auto id = NormalizeMediaId(f[2].trimmed().toStdString(), MediaIButton);
        if (!id)
            return fail(QStringLiteral("not a media ID: %1").arg(f[2]));
        const QByteArray jpeg = encodeJpeg(drawPortrait(f[0].trimmed(), f[1].trimmed()), 85);
        if (jpeg.isEmpty())
            return fail(QStringLiteral("could not encode the portrait of %1").arg(f[0]));
        sql << QStringLiteral("insert into Photos values (%1, %2, %3, %4)")
                   .arg(adoSqlLiteral(f[0].trimmed()), adoSqlLiteral(f[1].trimmed()),
                        adoSqlLiteral(QString::fromStdString(*id)), sqlBlob(jpeg));
    }

    const QString connection = QStringLiteral("Driver=SQLite3;Database=%1").arg(dbFile);
    CADODataBase db;
    if (!db.Open(connection + QStringLiteral(";NoCreat=0")))
        return fail(db.GetErrorDescription());
    CADORecordset rs(&db);
    for (const QString& statement : sql)
        if (!rs.Open(statement))
            return fail(rs.GetLastErrorString());
    db.Close();
    std::printf("%s: %lld portraits\n", qPrintable(dbFile), static_cast<long long>(sql.size() - 2));

    if (writeSettings) {
        CAppSettings photos;
        photos.UsePhoto = true;
        photos.ShowPhoto = true;
        photos.PhotoDB = connection;
        photos.PhotoTable = QStringLiteral("Photos");
        photos.PhotoLastName = QStringLiteral("LastName");
        photos.PhotoFirstName = QStringLiteral("FirstName");
        photos.PhotoMediaID = QStringLiteral("MediaID");
        photos.PhotoPhoto = QStringLiteral("Photo");
        // Only the photo values: whatever else the user has set stays.
        const auto stored = CAppSettings::openStore();
        QSettings& store = *stored;
        photos.save(store, {QStringLiteral("UsePhoto"), QStringLiteral("ShowPhoto"),
                            QStringLiteral("PhotoDB"), QStringLiteral("PhotoTable"),
                            QStringLiteral("PhotoLastName"), QStringLiteral("PhotoFirstName"),
                            QStringLiteral("PhotoMediaID"), QStringLiteral("PhotoPhoto")});
        if (store.status() != QSettings::NoError)
            return fail(QStringLiteral("cannot write the settings %1").arg(store.fileName()));
    }
    return 0;
}

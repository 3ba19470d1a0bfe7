#include "photolookup.h"

#include "adodatabase.h"
#include "adorecordset.h"
#include "adovalue.h"
#include "picturedecoder.h"

QString photoQuery(const PhotoColumns& columns, const QString& mediaId) {
    return QStringLiteral("select [%1] as Prezime, [%2] as Ime, [%3] as Fotografija from [%4] "
                          "where [%5] = %6")
        .arg(columns.lastName, columns.firstName, columns.photo, columns.table, columns.mediaId,
             adoSqlLiteral(mediaId));
}

PhotoRecord lookUpPhoto(CADODataBase* database, const PhotoColumns& columns, const QString& mediaId,
                        qint64 maxPictureBytes) {
    PhotoRecord record;
    if (!database || !database->IsOpen())
        return record;
    CADORecordset rs(database);
    // A second row is only counted, never read: it means no picture anyway.
    rs.SetMaxRecords(1);
    rs.SetMaxValueBytes(maxPictureBytes);
    if (!rs.Open(photoQuery(columns, mediaId), CADORecordset::openUnknown) ||
        rs.GetRecordCount() != 1 || rs.HasMoreRecords())
        return record;
    rs.GetFieldValue(QStringLiteral("Prezime"), record.lastName, QString());
    rs.GetFieldValue(QStringLiteral("Ime"), record.firstName, QString());
    qint64 size = 0;
    QByteArray bytes;
    if (rs.GetFieldActualSize(QStringLiteral("Fotografija"), size) && size != 0 &&
        size <= maxPictureBytes && rs.GetFieldBytes(QStringLiteral("Fotografija"), size, bytes))
        record.picture = decodePicture(bytes);
    return record;
}

QString photoCaptionLine(const QString& caption, const QString& lastName, const QString& firstName,
                         const QString& mediaId) {
    const QString who = !lastName.isEmpty() && !firstName.isEmpty()
                            ? lastName + QLatin1Char(' ') + firstName
                            : mediaId;
    return caption + QLatin1Char(' ') + who;
}

#include "photolookup.h"

#include "adodatabase.h"
#include "adorecordset.h"
#include "adovalue.h"
#include "picturedecoder.h"

namespace {
QString photoQueryFor(const PhotoColumns& columns, const QString& value) {
    return QStringLiteral("select [%1] as Prezime, [%2] as Ime, [%3] as Fotografija from [%4] "
                          "where [%5] = %6")
        .arg(columns.lastName, columns.firstName, columns.photo, columns.table, columns.mediaId,
             value);
}
} // namespace

QString photoQuery(const PhotoColumns& columns, const QString& mediaId) {
    return photoQueryFor(columns, adoSqlLiteral(mediaId));
}

QString photoQueryBound(const PhotoColumns& columns) {
    return photoQueryFor(columns, QStringLiteral("?"));
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
    const bool ran =
        database->supportsParameters()
            ? rs.OpenWithParameters(photoQueryBound(columns), {CADOParameter::fromText(mediaId)})
            : rs.Open(photoQuery(columns, mediaId), CADORecordset::openUnknown);
    if (!ran || rs.GetRecordCount() != 1 || rs.HasMoreRecords())
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

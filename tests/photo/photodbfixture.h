#pragma once

#include "dbfixture.h"
#include "jpegcodec.h"

#include <QColor>
#include <QImage>
#include <QPainter>

// A photo table in a SQLite file of the test world, with pictures stored as blobs.
struct PhotoRow {
    QString lastName;
    QString firstName;
    QString mediaId;
    QByteArray picture; // empty: NULL
};

inline QString sqlText(const QString& text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

inline QString sqlBlob(const QByteArray& bytes) {
    return bytes.isEmpty() ? QStringLiteral("NULL")
                           : QStringLiteral("X'%1'").arg(QString::fromLatin1(bytes.toHex()));
}

// Creates (or replaces) table Photos(Surname, Given, Card, Picture) in the file.
inline QString makePhotoTable(const QString& file, const QList<PhotoRow>& rows) {
    QStringList sql{QStringLiteral("drop table if exists Photos"),
                    QStringLiteral("create table Photos (Surname varchar(40), Given varchar(40), "
                                   "Card varchar(40), Picture blob)")};
    for (const PhotoRow& r : rows)
        sql << QStringLiteral("insert into Photos values (%1, %2, %3, %4)")
                   .arg(sqlText(r.lastName), sqlText(r.firstName), sqlText(r.mediaId),
                        sqlBlob(r.picture));
    return runStatements(file, sql);
}

// A picture in one colour, as JPEG.
inline QByteArray colourJpeg(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return encodeJpeg(image, 95);
}

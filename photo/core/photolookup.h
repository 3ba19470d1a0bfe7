#pragma once

#include "jpegcodec.h"

#include <QImage>
#include <QString>

class CADODataBase;

// Which table and columns of the photo database hold the photos.
struct PhotoColumns {
    QString table;
    QString lastName;
    QString firstName;
    QString mediaId;
    QString photo;
};

struct PhotoRecord {
    QString lastName;
    QString firstName;
    QImage picture; // null when there is none to show
};

// The photo query for one MediaID; the MediaID is an SQL literal with its quotes doubled, so
// that a quote in it cannot end the text early.
QString photoQuery(const PhotoColumns& columns, const QString& mediaId);
// The same query with a "?" for the MediaID, bound as a value where the driver takes bound
// values.
QString photoQueryBound(const PhotoColumns& columns);

// The largest picture value read into memory: an uncompressed picture of the most pixels the
// decoders take at 32 bits each, with room for its headers. A larger one would be refused by
// the decoders only after it had been read whole.
inline constexpr qint64 kMaxPictureBytes = 4 * kMaxJpegOutputPixels + 64 * 1024;

// Looks the MediaID up: names and picture when exactly one row matches, nothing otherwise
// (query failure, no row, several rows). One row's values are read at most, and a picture
// value of more than maxPictureBytes is left unread. A picture that is empty, not bytes, too
// large or does not decode leaves the names and no picture.
PhotoRecord lookUpPhoto(CADODataBase* database, const PhotoColumns& columns, const QString& mediaId,
                        qint64 maxPictureBytes = kMaxPictureBytes);

// The line under the photo: the caption, a blank, then the names when both are known,
// otherwise the MediaID.
QString photoCaptionLine(const QString& caption, const QString& lastName, const QString& firstName,
                         const QString& mediaId);

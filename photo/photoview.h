#pragma once

#include "photolookup.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

class CADODataBase;

// The photo window's client area: the picture fitted into it, black around, and one line of
// caption and name at the bottom. The database is asked once per photo (and again after the
// photo database was reopened), from the event loop once the view is on screen, never from a
// paint: a database that keeps the query waiting must not stop the window from painting.
// Every paint draws what the last look-up produced.
class CPhotoView : public QWidget {
    Q_OBJECT
public:
    explicit CPhotoView(QWidget* parent = nullptr);
    ~CPhotoView() override;

    // The placeholder shown until the database has answered, relative to the current folder.
    static QString placeholderPath();

    // Where the connection comes from; without one no look-up finds anything.
    void setDatabase(std::function<CADODataBase*()> database) { m_database = std::move(database); }

    // Keeps both texts, loads the placeholder picture, repaints and has the database asked.
    void SetPhoto(const QString& mediaId, const QString& caption);
    // The connection or the columns changed: the database is asked again.
    void Requery();
    // A look-up is due: the view is waiting for the database's answer.
    bool lookUpPending() const { return m_stale; }

    QString mediaId() const { return m_mediaId; }
    QString caption() const { return m_caption; }
    QString lastName() const { return m_lastName; }
    QString firstName() const { return m_firstName; }
    const QImage& picture() const { return m_picture; }
    QFont captionFont() const { return m_captionFont; }
    // The line drawn at the bottom.
    QString captionLine() const;
    // Where the picture is drawn in the current client area.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Queues the look-up; while the view is hidden it waits for the view to show.
    void scheduleLookUp();
    void lookUp();

    std::function<CADODataBase*()> m_database;
    QString m_mediaId;
    QString m_caption;
    QString m_lastName;
    QString m_firstName;
    QImage m_picture;
    QFont m_captionFont;
    bool m_stale = true;
    bool m_lookUpQueued = false;
};

#pragma once

#include <QObject>
#include <QString>

// A medium held to a reader: what its registration tells, with the controller it came from.
struct PresentedMedium {
    QString mediaId; // 16 characters
    QString controllerName;
    int controllerId = 0;
    QString date;
    QString time;
};

// Where the registration path tells who waits for a medium (enrolment, reading a MediaID
// from a reader) that one was presented; the registration itself goes on as always.
class CPresentedMedia : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Tells the listeners of a registration that carries a medium: a 16-character media ID
    // (status messages carry none), once the caller has returned to the event loop. False
    // when the registration carries no medium.
    bool Registered(const PresentedMedium& medium);

signals:
    void presented(const PresentedMedium& medium);
};

// The program's one; the controller forms report to it.
CPresentedMedia& presentedMedia();

#pragma once

#include <QString>
#include <QtGlobal>

// What the parts that see a site's health tell the alert rules, one call per event. A call
// for a condition that already lasts (or has already ended) is harmless: the rules tell each
// start and each end once.
class IAlertInput {
public:
    virtual ~IAlertInput() = default;

    // The controller's port did not open, hung up or stopped answering.
    virtual void controllerLost(int comPort, const QString& reason) = 0;
    // It answers again.
    virtual void controllerBack(int comPort) = 0;
    // A registration of this controller did not reach the registrations file.
    virtual void registrationsNotWritten(int comPort, const QString& reason) = 0;
    // One reached the file again.
    virtual void registrationsWritten(int comPort) = 0;
    // The reporting database does not answer; `waiting` registrations wait for it.
    virtual void reportingSilent(qint64 waiting, const QString& problem) = 0;
    // While it is silent, how many wait now: shown, never told again.
    virtual void reportingWaiting(qint64 waiting) = 0;
    virtual void reportingAnswers() = 0;
    // The report queue is at ReportQueueMax and turns registrations away (`waiting`: what it
    // holds); it takes them again.
    virtual void reportQueueFull(qint64 waiting) = 0;
    virtual void reportQueueTakes() = 0;
    // A registration arrived; `unknownMedium`: its 16-character media ID belongs to nobody.
    virtual void registrationArrived(int comPort, bool unknownMedium) = 0;
    // The controller left the workspace: what lasted there is forgotten without an end.
    virtual void controllerGone(int comPort) = 0;
};

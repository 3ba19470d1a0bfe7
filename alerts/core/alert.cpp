#include "alert.h"

QString alertKindName(AlertKind kind) {
    switch (kind) {
    case AlertKind::ControllerLost:
        return QStringLiteral("controller-lost");
    case AlertKind::ControllerBack:
        return QStringLiteral("controller-back");
    case AlertKind::RegistrationsNotWritten:
        return QStringLiteral("registrations-not-written");
    case AlertKind::RegistrationsWritten:
        return QStringLiteral("registrations-written");
    case AlertKind::ReportingSilent:
        return QStringLiteral("reporting-not-answering");
    case AlertKind::ReportingAnswers:
        return QStringLiteral("reporting-answers");
    case AlertKind::UnknownMedia:
        return QStringLiteral("unknown-media");
    case AlertKind::UnknownMediaEnded:
        return QStringLiteral("unknown-media-ended");
    case AlertKind::ReportQueueFull:
        return QStringLiteral("report-queue-full");
    case AlertKind::ReportQueueTakes:
        return QStringLiteral("report-queue-takes");
    }
    return QString();
}

bool Alert::isEnd() const {
    return kind == AlertKind::ControllerBack || kind == AlertKind::RegistrationsWritten ||
           kind == AlertKind::ReportingAnswers || kind == AlertKind::UnknownMediaEnded ||
           kind == AlertKind::ReportQueueTakes;
}

int Alert::severity() const {
    switch (kind) {
    case AlertKind::RegistrationsNotWritten:
        return 3;
    case AlertKind::ControllerLost:
    case AlertKind::ReportingSilent:
    case AlertKind::ReportQueueFull:
        return 2;
    case AlertKind::UnknownMedia:
        return 1;
    default:
        return 0;
    }
}

#pragma once

#include <QDateTime>
#include <QString>

// What an alert is about. Each condition has a kind for its start and one for its end.
enum class AlertKind {
    ControllerLost,
    ControllerBack,
    RegistrationsNotWritten,
    RegistrationsWritten,
    ReportingSilent,
    ReportingAnswers,
    UnknownMedia,
    UnknownMediaEnded,
    ReportQueueFull,
    ReportQueueTakes,
};

// The kind's name for scripts (TARVEX_ALERT), such as "controller-lost".
QString alertKindName(AlertKind kind);

// One alert as it is told: when, where (COM port and controller ID, 0 when it concerns no
// controller), its text and, where one is known, the reason behind it.
struct Alert {
    QDateTime time;
    AlertKind kind = AlertKind::ControllerLost;
    int comPort = 0;
    int controllerId = 0;
    QString text;
    QString reason;

    // The end of a condition rather than its start.
    bool isEnd() const;
    // How much it matters: a registration that is not stored is the worst, ends matter least.
    int severity() const;
};

#pragma once

#include "alert.h"
#include "alertinput.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>

class CAppSettings;

// The one set of alert rules. Each condition (a controller lost, its registrations not
// stored, the reporting database silent, the report queue full, a burst of unknown media at a
// controller) is told
// once when it starts and once when it ends; events while it lasts are not told again.
// A burst is `unknownCount` unknown registrations at one controller within `unknownMinutes`;
// it ends when that controller has seen no unknown medium for as long.
class CAlertEngine : public QObject, public IAlertInput {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    // The controller ID of a COM port (0: none known).
    using ControllerIds = std::function<int(int comPort)>;

    struct Rules {
        int unknownCount = 5;
        int unknownMinutes = 2;
        static Rules from(const CAppSettings& settings);
    };

    explicit CAlertEngine(Clock clock = {}, QObject* parent = nullptr);

    void setRules(Rules rules);
    Rules rules() const { return m_rules; }
    void setControllerIds(ControllerIds ids) { m_ids = std::move(ids); }

    void controllerLost(int comPort, const QString& reason) override;
    void controllerBack(int comPort) override;
    void registrationsNotWritten(int comPort, const QString& reason) override;
    void registrationsWritten(int comPort) override;
    void reportingSilent(qint64 waiting, const QString& problem) override;
    void reportingWaiting(qint64 waiting) override;
    void reportingAnswers() override;
    void reportQueueFull(qint64 waiting) override;
    void reportQueueTakes() override;
    void registrationArrived(int comPort, bool unknownMedium) override;
    void controllerGone(int comPort) override;

    // Ends the bursts whose quiet time has passed. A timer calls it; tests with their own
    // clock call it themselves.
    void checkTime();

    // What a single status line shows: the last alert's text, unless a more serious
    // condition still lasts, whose text then stays (empty when nothing is to be shown).
    QString statusLine() const;
    // The conditions that last now.
    int lasting() const;

signals:
    void raised(const Alert& alert);
    // Conditions were forgotten without an end (a controller left the workspace), or the
    // text of one that lasts changed (how many reports wait).
    void lastingChanged();

private:
    struct Burst {
        std::deque<QDateTime> unknowns; // the latest, at most unknownCount
        QDateTime last;
        bool told = false;
    };

    void raise(AlertKind kind, int comPort, const QString& text, const QString& reason = {});
    qint64 windowMs() const { return qint64(m_rules.unknownMinutes) * 60 * 1000; }
    void armTimer();

    Clock m_clock;
    Rules m_rules;
    ControllerIds m_ids;
    std::set<int> m_lost;
    std::set<int> m_notWritten;
    bool m_reportingSilent = false;
    bool m_queueFull = false;
    std::map<int, Burst> m_bursts;
    // The start of each lasting condition, by kind and port, for the status line.
    std::map<std::pair<AlertKind, int>, Alert> m_lasting;
    std::optional<Alert> m_last;
    QTimer m_timer;
};

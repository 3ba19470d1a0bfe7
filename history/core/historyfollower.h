#pragma once

#include <QObject>
#include <QTimer>

class CHistoryStore;

// Keeps a loaded store up with its folder: looks a few times a second for bytes appended to
// the monthly files and for a new month's file, and says what changed. Between looks no file
// is open.
class CHistoryFollower : public QObject {
    Q_OBJECT
public:
    static constexpr int kLookEveryMs = 250;

    explicit CHistoryFollower(CHistoryStore& store, QObject* parent = nullptr);

    void start();
    void stop();
    bool isFollowing() const { return m_timer.isActive(); }

public slots:
    // One look now.
    void look();

signals:
    // The store's records from `first` on are new.
    void recordsAdded(qulonglong first);
    // The store was read again from the start (a file shrank, went or was replaced): what was
    // shown of it is gone.
    void reloaded();
    // The number of damaged lines skipped changed.
    void damagedLinesChanged(int damaged);

private:
    CHistoryStore& m_store;
    QTimer m_timer;
    int m_damaged = 0;
};

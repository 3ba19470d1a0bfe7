#pragma once

#include <QObject>

#include <cstddef>

class QSocketNotifier;

// Turns SIGTERM and SIGHUP (and SIGINT when asked) into a Qt signal on the thread that
// created the object. The
// handler only writes the signal's number into a pipe; everything else happens when the
// event loop reads it. One instance at a time; the previous dispositions come back when it
// is destroyed.
class CTerminationSignals : public QObject {
    Q_OBJECT
public:
    // A program without a window that the user starts in a terminal also ends cleanly on
    // Ctrl+C when `interrupt` is set.
    explicit CTerminationSignals(QObject* parent = nullptr, bool interrupt = false);
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

    // False when the pipe or a handler could not be set up (the default actions then stay).
    bool installed() const { return m_installed; }

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
    std::size_t m_count = 0; // how many of the handled signals were installed
    bool m_installed = false;
};

#pragma once

#include "commandlock.h"
#include "handover.h"
#include "reglogfile.h"
#include "serialport.h"

#include <vr12comm/vr12results.h>

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

namespace vr12comm {

// Everything one control does without a window: the port, the command lock,
// the ten command exchanges, the receiver thread and the registrations file.
// It is used on the thread that created it; that thread must run an event loop
// (or be inside one of the calls below) for registrations to be handed over.
class Vr12Link : public QObject {
    Q_OBJECT
public:
    // Link states shown by the control's picture.
    enum LinkState { NothingOpen = 0, LogOnly = 1, PortOnly = 2, BothOpen = 3 };

    static constexpr int kMessageLimit = 99;

    explicit Vr12Link(QObject* parent = nullptr);
    ~Vr12Link() override;

    bool init(short portIndex);
    bool destroy();

    QByteArray readFirstID();
    QByteArray readNextID();
    EraseIdResult eraseID(short slot);
    IdWriteResult addID(const QByteArray& mediaId);
    void openLock();
    QByteArray showMaster();
    IdWriteResult newMaster(const QByteArray& mediaId);
    ClearTableResult clearTable();
    GetStatusResult getStatus();
    WriteParamsResult writeParams(const QByteArray& record);
    QByteArray readParams();

    // Names the registrations file and reopens it; errMessage() when that fails.
    void setAsciiFileName(const QString& name);
    QString asciiFileName() const { return m_asciiFileName; }
    // Sets the name without touching the file (restoring saved state).
    void restoreAsciiFileName(const QString& name) { m_asciiFileName = name; }

    QByteArray lastReg() const { return m_lastReg; }
    QByteArray action() const { return m_action; }
    QByteArray iButtonId() const { return m_iButtonId; }
    QByteArray dateReg() const { return m_dateReg; }
    QByteArray timeReg() const { return m_timeReg; }
    QByteArray firmware() const { return m_firmware; }
    void setLastReg(const QByteArray& v) { m_lastReg = v; }
    void setAction(const QByteArray& v) { m_action = v; }
    void setIButtonId(const QByteArray& v) { m_iButtonId = v; }
    void setDateReg(const QByteArray& v) { m_dateReg = v; }
    void setTimeReg(const QByteArray& v) { m_timeReg = v; }
    void setFirmware(const QByteArray& v) { m_firmware = v; }

    int linkState() const { return m_linkState; }
    QString portName() const { return m_portName; }
    bool isLogOpen() const { return m_log.isOpen(); }
    bool isReceiverRunning() const { return m_thread.joinable() && !m_threadDone.load(); }
    // A command holds the line, or a listing is open; the receiver's own turns do not count.
    // Asked on the owner's thread.
    bool commandRunning() const {
        const std::thread::id holder = m_lock.owner();
        return holder != std::thread::id() && holder != m_thread.get_id();
    }
    // Why the last Init failed or the line hung up, for messages.
    QString lastError() const { return m_lastError; }
    // Why registrations are not being written: the file did not open or the last line could
    // not be written. Empty while the file takes them.
    QString logError() const { return m_logError; }

    // getStatus may also run on another thread while the owner's thread goes on: the lock
    // serialises the line, and only the owner's own getStatus sets the firmware text.

    // Test hooks: the lock depth held by the calling thread's view, and the lock.
    CommandLock& commandLock() { return m_lock; }

signals:
    void rxMessage();
    void errMessage();
    void linkStateChanged(int state);
    void stateModified();

private:
    bool lockForCommand();
    void unlock() { m_lock.release(); }
    short openPort(short portIndex);
    bool closePort();
    void setLinkState(int state);
    void sendByte(char c);
    QByteArray listingRead();
    IdWriteResult payloadExchange(char command, const QByteArray& payload, bool isMaster);
    QByteArray eighteenByteRead(char command, bool (*wellFormed)(const QByteArray&));
    // After the read that decides a command, lock held: true when the line
    // stays quiet. Otherwise the rest is taken off the line; it is kept for the
    // receiver when `whole` says the reply was complete before it.
    bool replyStoodAlone(const QByteArray& reply, int expected, bool whole);
    void discardRestOfReply();
    bool openLog();
    // After a registration's event: its line into the file, which is opened again first when
    // it could not be before.
    void writeLogLine(const QByteArray& line);
    // The picture shows whether the file takes registrations.
    void showLogState();
    // On the owner's thread: the picture and the container learn of a dead line.
    void portLost();

    void receiverLoop();
    // Waits up to `limit` without the lock: true when the line has input or hung up, false
    // after the time or a wake-up.
    bool waitForLine(std::chrono::milliseconds limit);
    // Ends the receiver's wait: a stop, or a message a command held for it.
    void wakeReceiver();
    QByteArray collectMessage();
    void handleMessage(const QByteArray& message);

    SerialPort m_port;
    CommandLock m_lock;
    HandOver m_handOver;
    RegLogFile m_log;
    std::thread m_thread;
    std::atomic<bool> m_run{false};
    std::atomic<bool> m_threadDone{true};
    bool m_lossTold = false; // receiver thread only
    int m_wakeFd = -1;
    // m_heldForReceiver is not empty; read without the lock.
    std::atomic<bool> m_heldPending{false};

    QString m_asciiFileName = QStringLiteral("reg.txt");
    QString m_portName;
    QString m_lastError;
    QString m_logError;
    int m_linkState = NothingOpen;
    bool m_listing = false;
    // A message of the controller's own that followed a complete reply and
    // was taken off the line with it; the receiver delivers it first.
    // Guarded by the command lock.
    QByteArray m_heldForReceiver;

    QByteArray m_lastReg;
    QByteArray m_action;
    QByteArray m_iButtonId;
    QByteArray m_dateReg;
    QByteArray m_timeReg;
    QByteArray m_firmware;
};

} // namespace vr12comm

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

// A VR-12 controller on a pseudo-terminal, reachable as COMn through a device
// folder of links. It answers the ten commands from an in-memory table, can be
// told to misbehave per command, and sends registrations of its own, between
// exchanges or placed inside a reply.
//
// Replies it sends: listing records "ID" + slot (2 hex) + ": " + media ID (22
// bytes each) ended by "*"; prompts "<letter>>#"; confirmations payload + " " +
// status letter + "*" ("a" added, "d" already present, "f" table full, "m"
// master set); master and parameters "<letter>:" + 16 characters, or "M:-"
// when the master is erased; status "V:" + 18 characters of firmware text;
// erase "OK*" (or "ER?" for a bad slot); clear "*".
class Vr12Simulator {
public:
    using Clock = std::chrono::steady_clock;

    enum class Fault {
        None,
        Silent,      // no reply at all
        ShortBlock,  // the first block cut short
        WrongPrompt, // third prompt byte not "#"
        StatusD,     // confirmation status letter "d"
        Garbage,     // the first block replaced by random bytes
    };

    // A message of the controller's own that falls into the middle of a reply:
    // sent after `offset` bytes of reply block `block` (0: the reply or the
    // prompt, 1: the answer after the slot or payload), with the controller
    // silent for `pauseBefore` ahead of it and `pauseAfter` behind it.
    struct Injection {
        QByteArray message;
        int offset = 0;
        int block = 0;
        std::chrono::milliseconds pauseBefore{0};
        std::chrono::milliseconds pauseAfter{0};
    };

    struct Received {
        Clock::time_point at;
        char byte;
    };

    static constexpr std::chrono::microseconds kByteTime{4167}; // 10 bits at 2400 baud

    Vr12Simulator();
    ~Vr12Simulator();
    Vr12Simulator(const Vr12Simulator&) = delete;
    Vr12Simulator& operator=(const Vr12Simulator&) = delete;

    // Creates the pseudo-terminal and the link <deviceDir>/COM<comNumber>.
    bool start(const QString& deviceDir, int comNumber);
    // Listens on 127.0.0.1:`port` instead (0: a free port) and writes <deviceDir>/COM<comNumber>
    // as a link file to it. One connection at a time is the line; when it ends, the next one
    // is awaited.
    bool startTcp(const QString& deviceDir, int comNumber, quint16 port = 0);
    quint16 tcpPort() const { return m_tcpPort; }
    void stop();
    // Pulls the cable: the line hangs up under the control's feet.
    void unplug();
    QString errorString() const { return m_error; }
    QString linkPath() const { return m_linkPath; }
    QString slavePath() const { return m_slavePath; }

    void setPaced(bool paced) { m_paced = paced; }
    // The next `times` exchanges of `command` misbehave (-1: until cleared), after `after`
    // more that go well.
    void setFault(char command, Fault fault, int times = -1, int after = 0);
    // Exact blocks for the next `times` exchanges of `command`: `first` is the
    // reply (or the prompt of a command with payload), `second` the
    // confirmation after the payload.
    void setReply(char command, const QByteArray& first, const QByteArray& second = {},
                  int times = -1);
    void clearFaults();
    // The next exchange of `command` carries `injection`.
    void inject(char command, const Injection& injection);

    void setFirmware(const QByteArray& text);
    void setMaster(const QByteArray& id); // empty: erased
    QByteArray master() const;
    void setParams(const QByteArray& record);
    QByteArray params() const;
    void setSlot(int slot, const QByteArray& id); // empty: free
    QByteArray slot(int slot) const;
    int usedSlots() const;
    // Fills slots 0..count-1 with distinct media IDs.
    void fillTable(int count);
    int lockOpenings() const { return m_lockOpenings; }
    // Someone holds the line as a program's port does (its exclusive lock): the port is open.
    bool lineHeld() const;

    // Sends a message of its own once the line is idle.
    void sendMessage(const QByteArray& message);
    // Sends "R" + id + " O" every `interval`, cycling through ids.
    void scheduleRegistrations(std::chrono::milliseconds interval, const QList<QByteArray>& ids);
    static QByteArray registrationFor(const QByteArray& id) { return "R" + id + " O"; }
    static QByteArray mediaIdFor(int n);

    // Every byte received, with its time.
    QList<Received> received() const;
    QByteArray receivedBytes() const;
    void clearReceived();
    // When the last byte of the last block went out.
    Clock::time_point lastSent() const;
    int messagesSent() const { return m_messagesSent; }

private:
    enum class State { Idle, AwaitSlot, AwaitPayload };
    struct Script {
        Fault fault = Fault::None;
        QByteArray first, second;
        bool scripted = false;
        int times = 0;
        int after = 0; // exchanges still answered normally before this one applies
    };

    void run();
    // TCP: takes a waiting connection as the line; false while there is none.
    bool acceptLine();
    // TCP: the connection ended; the next one is awaited.
    void dropLine();
    void onByte(char b);
    void startCommand(char c);
    void finishPayload();
    void finishSlot();
    bool worksNormally() const;
    Script takeScript(char command);
    void sendBlock(const QByteArray& block);
    QByteArray applyFirst(const Script& s, const QByteArray& block) const;
    QByteArray listing() const;
    // Sends block `index` of the current exchange, with its injection if any.
    void sendReply(int index, const QByteArray& block);

    int m_master = -1;
    int m_slave = -1;
    int m_listener = -1;
    quint16 m_tcpPort = 0;
    std::atomic<bool> m_connected{false};
    QString m_linkPath;
    QString m_slavePath;
    QString m_error;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_paced{false};
    std::atomic<int> m_lockOpenings{0};
    std::atomic<int> m_messagesSent{0};

    mutable std::mutex m_mutex;
    std::map<char, Script> m_scripts;
    std::map<char, Injection> m_injections;
    QByteArray m_table[256];
    QByteArray m_masterId;
    QByteArray m_params = "0203000000000000";
    QByteArray m_firmware = "VR-12 v2.14 ready ";
    std::deque<QByteArray> m_outbox;
    QList<QByteArray> m_regIds;
    std::chrono::milliseconds m_regInterval{0};
    Clock::time_point m_nextReg;
    int m_regIndex = 0;
    QList<Received> m_received;
    Clock::time_point m_lastSent;

    // Owned by the simulator thread.
    State m_state = State::Idle;
    char m_command = 0;
    Script m_current;
    std::optional<Injection> m_injection;
    QByteArray m_payload;
    Clock::time_point m_payloadDeadline;
    Clock::time_point m_nextByteAt;
    unsigned m_noiseState = 12345;
};

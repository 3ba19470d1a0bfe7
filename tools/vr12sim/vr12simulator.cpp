#include "vr12simulator.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
// A controller waiting for a payload gives up after this much quiet.
constexpr auto kPayloadPatience = 1000ms;
} // namespace

Vr12Simulator::Vr12Simulator() = default;

Vr12Simulator::~Vr12Simulator() {
    stop();
}

QByteArray Vr12Simulator::mediaIdFor(int n) {
    return QString::asprintf("%02X%012X01", (n * 37) & 0xFF, 0x1000 + n).toLatin1();
}

bool Vr12Simulator::start(const QString& deviceDir, int comNumber) {
    stop();
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B2400);
    ::cfsetospeed(&raw, B2400);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
    QDir().mkpath(deviceDir);
    m_linkPath = QDir(deviceDir).filePath(QStringLiteral("COM%1").arg(comNumber));
    QFile::remove(m_linkPath);
    if (!QFile::link(m_slavePath, m_linkPath)) {
        m_error = QStringLiteral("cannot create the link %1").arg(m_linkPath);
        ::close(m_master);
        ::close(m_slave);
        m_master = m_slave = -1;
        return false;
    }
    m_state = State::Idle;
    m_running = true;
    m_thread = std::thread([this] { run(); });
    return true;
}

bool Vr12Simulator::startTcp(const QString& deviceDir, int comNumber, quint16 port) {
    stop();
    auto failed = [this](const QString& what) {
        m_error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return false;
    };
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        return failed(QStringLiteral("socket"));
    // A restarted simulator takes its port again at once.
    const int on = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return failed(QStringLiteral("port %1").arg(port));
    if (::listen(m_listener, 4) != 0)
        return failed(QStringLiteral("listen"));
    socklen_t len = sizeof addr;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &len);
    m_tcpPort = ntohs(addr.sin_port);
    QDir().mkpath(deviceDir);
    m_linkPath = QDir(deviceDir).filePath(QStringLiteral("COM%1").arg(comNumber));
    m_slavePath = QStringLiteral("tcp://127.0.0.1:%1").arg(m_tcpPort);
    QFile::remove(m_linkPath);
    QFile link(m_linkPath);
    if (!link.open(QIODevice::WriteOnly) || link.write(m_slavePath.toLatin1() + '\n') < 0) {
        m_error = QStringLiteral("cannot write the link file %1").arg(m_linkPath);
        ::close(m_listener);
        m_listener = -1;
        return false;
    }
    link.close();
    m_state = State::Idle;
    m_running = true;
    m_thread = std::thread([this] { run(); });
    return true;
}

bool Vr12Simulator::acceptLine() {
    pollfd p{m_listener, POLLIN, 0};
    if (::poll(&p, 1, 10) <= 0)
        return false;
    const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return false;
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_master = fd;
    m_state = State::Idle;
    m_connected = true;
    return true;
}

void Vr12Simulator::dropLine() {
    m_connected = false;
    ::close(m_master);
    m_master = -1;
}

void Vr12Simulator::stop() {
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_listener >= 0)
        ::close(m_listener);
    m_master = m_slave = m_listener = -1;
    m_connected = false;
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
}

void Vr12Simulator::unplug() {
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    // Closing both ends of the pair (or the connection and the listener) hangs up the line
    // the control holds.
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    if (m_listener >= 0)
        ::close(m_listener);
    m_master = m_slave = m_listener = -1;
    m_connected = false;
}

void Vr12Simulator::setFault(char command, Fault fault, int times, int after) {
    std::lock_guard g(m_mutex);
    Script& s = m_scripts[command];
    s = Script{};
    s.fault = fault;
    s.times = times;
    s.after = after;
}

void Vr12Simulator::setReply(char command, const QByteArray& first, const QByteArray& second,
                             int times) {
    std::lock_guard g(m_mutex);
    Script& s = m_scripts[command];
    s = Script{};
    s.scripted = true;
    s.first = first;
    s.second = second;
    s.times = times;
}

void Vr12Simulator::clearFaults() {
    std::lock_guard g(m_mutex);
    m_scripts.clear();
    m_injections.clear();
}

void Vr12Simulator::inject(char command, const Injection& injection) {
    std::lock_guard g(m_mutex);
    m_injections[command] = injection;
}

void Vr12Simulator::sendReply(int index, const QByteArray& block) {
    if (!m_injection || m_injection->block != index) {
        sendBlock(block);
        return;
    }
    const Injection in = *m_injection;
    m_injection.reset();
    const qsizetype at = std::clamp<qsizetype>(in.offset, 0, block.size());
    sendBlock(block.left(at));
    std::this_thread::sleep_for(in.pauseBefore);
    sendBlock(in.message);
    ++m_messagesSent;
    std::this_thread::sleep_for(in.pauseAfter);
    sendBlock(block.mid(at));
}

void Vr12Simulator::setFirmware(const QByteArray& text) {
    std::lock_guard g(m_mutex);
    m_firmware = text;
}

void Vr12Simulator::setMaster(const QByteArray& id) {
    std::lock_guard g(m_mutex);
    m_masterId = id;
}

QByteArray Vr12Simulator::master() const {
    std::lock_guard g(m_mutex);
    return m_masterId;
}

void Vr12Simulator::setParams(const QByteArray& record) {
    std::lock_guard g(m_mutex);
    m_params = record;
}

QByteArray Vr12Simulator::params() const {
    std::lock_guard g(m_mutex);
    return m_params;
}

void Vr12Simulator::setSlot(int slot, const QByteArray& id) {
    std::lock_guard g(m_mutex);
    if (slot >= 0 && slot < 256)
        m_table[slot] = id;
}

QByteArray Vr12Simulator::slot(int slot) const {
    std::lock_guard g(m_mutex);
    return slot >= 0 && slot < 256 ? m_table[slot] : QByteArray();
}

bool Vr12Simulator::lineHeld() const {
    if (m_listener >= 0)
        return m_connected;
    if (m_slave < 0)
        return false;
    // The simulator's own end is another open file: it conflicts with the holder's lock.
    if (::flock(m_slave, LOCK_EX | LOCK_NB) == 0) {
        ::flock(m_slave, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

int Vr12Simulator::usedSlots() const {
    std::lock_guard g(m_mutex);
    int n = 0;
    for (const QByteArray& id : m_table)
        n += id.isEmpty() ? 0 : 1;
    return n;
}

void Vr12Simulator::fillTable(int count) {
    std::lock_guard g(m_mutex);
    for (int i = 0; i < 256; ++i)
        m_table[i] = i < count ? mediaIdFor(i) : QByteArray();
}

void Vr12Simulator::sendMessage(const QByteArray& message) {
    std::lock_guard g(m_mutex);
    m_outbox.push_back(message);
}

void Vr12Simulator::scheduleRegistrations(std::chrono::milliseconds interval,
                                          const QList<QByteArray>& ids) {
    std::lock_guard g(m_mutex);
    m_regInterval = interval;
    m_regIds = ids;
    m_regIndex = 0;
    m_nextReg = Clock::now() + interval;
}

QList<Vr12Simulator::Received> Vr12Simulator::received() const {
    std::lock_guard g(m_mutex);
    return m_received;
}

QByteArray Vr12Simulator::receivedBytes() const {
    std::lock_guard g(m_mutex);
    QByteArray out;
    for (const Received& r : m_received)
        out += r.byte;
    return out;
}

void Vr12Simulator::clearReceived() {
    std::lock_guard g(m_mutex);
    m_received.clear();
}

Vr12Simulator::Clock::time_point Vr12Simulator::lastSent() const {
    std::lock_guard g(m_mutex);
    return m_lastSent;
}

Vr12Simulator::Script Vr12Simulator::takeScript(char command) {
    std::lock_guard g(m_mutex);
    auto it = m_scripts.find(command);
    if (it == m_scripts.end())
        return {};
    if (it->second.after > 0) {
        --it->second.after;
        return {};
    }
    Script s = it->second;
    if (it->second.times > 0 && --it->second.times == 0)
        m_scripts.erase(it);
    return s;
}

void Vr12Simulator::sendBlock(const QByteArray& block) {
    if (block.isEmpty() || m_master < 0)
        return;
    const bool paced = m_paced;
    auto now = Clock::now();
    if (m_nextByteAt < now)
        m_nextByteAt = now;
    qsizetype done = 0;
    while (done < block.size() && m_running) {
        qsizetype chunk = block.size() - done;
        if (paced) {
            std::this_thread::sleep_until(m_nextByteAt);
            chunk = 1;
        }
        const ssize_t k =
            m_listener >= 0
                ? ::send(m_master, block.constData() + done, size_t(chunk), MSG_NOSIGNAL)
                : ::write(m_master, block.constData() + done, size_t(chunk));
        if (k > 0) {
            done += k;
            if (paced)
                m_nextByteAt += kByteTime;
            continue;
        }
        if (k < 0 && errno == EINTR)
            continue;
        if (k < 0 && errno == EAGAIN) {
            // Nobody drains the line: wait a little, then drop what does not fit.
            pollfd p{m_master, POLLOUT, 0};
            if (::poll(&p, 1, 200) <= 0)
                break;
            continue;
        }
        break;
    }
    std::lock_guard g(m_mutex);
    m_lastSent = Clock::now();
}

QByteArray Vr12Simulator::applyFirst(const Script& s, const QByteArray& block) const {
    switch (s.fault) {
    case Fault::Silent:
        return {};
    case Fault::ShortBlock:
        return block.left(std::max<qsizetype>(1, block.size() / 2));
    case Fault::WrongPrompt:
        return block.size() >= 3 ? block.left(2) + "!" + block.mid(3) : block;
    case Fault::Garbage: {
        QByteArray g(block.size(), '\0');
        unsigned noise = m_noiseState;
        for (char& c : g) {
            noise = noise * 1103515245u + 12345u;
            c = char((noise >> 16) & 0xFF);
        }
        return g;
    }
    default:
        return block;
    }
}

QByteArray Vr12Simulator::listing() const {
    std::lock_guard g(m_mutex);
    QByteArray out;
    for (int i = 0; i < 256; ++i) {
        if (m_table[i].isEmpty())
            continue;
        out += "ID" + QString::asprintf("%02X", i).toLatin1() + ": " +
               m_table[i].left(16).leftJustified(16, '0');
    }
    return out + "*";
}

void Vr12Simulator::startCommand(char c) {
    Script s = takeScript(c);
    m_current = s;
    m_command = c;
    {
        std::lock_guard g(m_mutex);
        const auto it = m_injections.find(c);
        m_injection.reset();
        if (it != m_injections.end()) {
            m_injection = it->second;
            m_injections.erase(it);
        }
    }
    auto first = [&](const QByteArray& normal) {
        sendReply(0, s.scripted ? s.first : applyFirst(s, normal));
    };
    switch (c) {
    case 'S':
        first(listing());
        break;
    case 'D':
    case 'A':
    case 'N':
    case 'J': {
        const QByteArray prompt = QByteArray(1, c) + ">#";
        const QByteArray sent = s.scripted ? s.first : applyFirst(s, prompt);
        sendReply(0, sent);
        // A controller that sent no proper prompt does not wait for more.
        if (sent.size() < 3)
            break;
        m_state = c == 'D' ? State::AwaitSlot : State::AwaitPayload;
        m_payload.clear();
        m_payloadDeadline = Clock::now() + kPayloadPatience;
        break;
    }
    case 'O':
        ++m_lockOpenings;
        break;
    case 'M': {
        const QByteArray id = master();
        first(id.isEmpty() ? QByteArray("M:-") : "M:" + id.left(16).leftJustified(16, '0'));
        break;
    }
    case 'T':
        first("T:" + params().left(16).leftJustified(16, '0'));
        break;
    case 'C':
        if (s.fault == Fault::None || s.scripted) {
            std::lock_guard g(m_mutex);
            for (QByteArray& id : m_table)
                id.clear();
        }
        first("*");
        break;
    case 'V': {
        QByteArray fw;
        {
            std::lock_guard g(m_mutex);
            fw = m_firmware;
        }
        first("V:" + fw.left(18).leftJustified(18, ' '));
        break;
    }
    default:
        break; // noise on the line
    }
}

bool Vr12Simulator::worksNormally() const {
    return m_current.scripted || m_current.fault == Fault::None ||
           m_current.fault == Fault::WrongPrompt;
}

void Vr12Simulator::finishSlot() {
    m_state = State::Idle;
    bool ok = false;
    const int slot = QString::fromLatin1(m_payload).toInt(&ok, 16);
    const bool valid = ok && slot >= 0 && slot < 256;
    if (valid && worksNormally())
        setSlot(slot, QByteArray());
    QByteArray reply = valid ? "OK*" : "ER?";
    if (m_current.scripted)
        reply = m_current.second;
    sendReply(1, m_current.fault == Fault::Silent ? QByteArray() : reply);
}

void Vr12Simulator::finishPayload() {
    m_state = State::Idle;
    const QByteArray payload = m_payload;
    char letter = 'a';
    if (m_command == 'A') {
        std::lock_guard g(m_mutex);
        int freeSlot = -1;
        bool present = false;
        for (int i = 0; i < 256; ++i) {
            present = present || m_table[i] == payload;
            if (freeSlot < 0 && m_table[i].isEmpty())
                freeSlot = i;
        }
        if (present)
            letter = 'd';
        else if (freeSlot < 0)
            letter = 'f';
        else if (worksNormally())
            m_table[freeSlot] = payload;
    } else if (m_command == 'N') {
        std::lock_guard g(m_mutex);
        bool present = false;
        for (const QByteArray& id : m_table)
            present = present || id == payload;
        letter = present ? 'd' : 'm';
        if (!present && worksNormally())
            m_masterId = payload;
    } else if (m_command == 'J') {
        if (worksNormally())
            setParams(payload);
    }
    if (m_current.fault == Fault::StatusD)
        letter = 'd';
    QByteArray confirmation = payload + ' ' + letter + '*';
    if (m_current.scripted)
        confirmation = m_current.second;
    sendReply(1, m_current.fault == Fault::Silent ? QByteArray() : confirmation);
}

void Vr12Simulator::onByte(char b) {
    {
        std::lock_guard g(m_mutex);
        m_received.append({Clock::now(), b});
    }
    switch (m_state) {
    case State::Idle:
        startCommand(b);
        break;
    case State::AwaitSlot:
        m_payload += b;
        m_payloadDeadline = Clock::now() + kPayloadPatience;
        if (m_payload.size() == 2)
            finishSlot();
        break;
    case State::AwaitPayload:
        m_payload += b;
        m_payloadDeadline = Clock::now() + kPayloadPatience;
        if (m_payload.size() == 16)
            finishPayload();
        break;
    }
}

void Vr12Simulator::run() {
    char buf[512];
    while (m_running) {
        // Over TCP, what is to be sent waits for a connection.
        if (m_listener >= 0 && m_master < 0 && !acceptLine())
            continue;
        auto now = Clock::now();
        if (m_state != State::Idle && now >= m_payloadDeadline)
            m_state = State::Idle;
        if (m_state == State::Idle) {
            QByteArray out;
            {
                std::lock_guard g(m_mutex);
                if (!m_outbox.empty()) {
                    out = m_outbox.front();
                    m_outbox.pop_front();
                } else if (m_regInterval.count() > 0 && !m_regIds.isEmpty() && now >= m_nextReg) {
                    out = registrationFor(m_regIds.at(m_regIndex++ % m_regIds.size()));
                    m_nextReg = now + m_regInterval;
                }
            }
            if (!out.isEmpty()) {
                sendBlock(out);
                ++m_messagesSent;
                continue;
            }
        }
        pollfd p{m_master, POLLIN, 0};
        const int r = ::poll(&p, 1, 10);
        if (r <= 0)
            continue;
        if (!(p.revents & POLLIN)) {
            if (m_listener >= 0) {
                dropLine();
                continue;
            }
            std::this_thread::sleep_for(20ms);
            continue;
        }
        const ssize_t k = ::read(m_master, buf, sizeof buf);
        if (m_listener >= 0 && (k == 0 || (k < 0 && errno != EAGAIN && errno != EINTR))) {
            dropLine();
            continue;
        }
        if (k <= 0) {
            std::this_thread::sleep_for(20ms);
            continue;
        }
        for (ssize_t i = 0; i < k; ++i)
            onByte(buf[i]);
    }
}

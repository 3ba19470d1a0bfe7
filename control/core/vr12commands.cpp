// The ten command exchanges. Every one purges the line, sends its letter and
// judges the reply by how many bytes arrived and a few marker characters.
// The controller also sends registrations whenever a medium is presented, and
// one that falls into a reply turns it into something else; so a reply must
// keep its fixed fields and be followed by silence, or it counts as failed.
#include "vr12link.h"

#include "replyshape.h"

#include <thread>

using namespace std::chrono_literals;

namespace vr12comm {

namespace {
constexpr int kRecordLength = 22;
constexpr int kPayloadLength = 16;
// Silence that must follow a reply that came complete.
constexpr auto kQuietAfterComplete = SerialPort::kInterval;
// A reply that ended early paused inside; what resumes before the receiver
// would begin a new message still belongs to it.
constexpr auto kMessageGap = SerialPort::kPerByte + SerialPort::kConstant;
// Longer than a listing of the full table.
constexpr auto kDrainLimit = 30s;
} // namespace

bool Vr12Link::replyStoodAlone(const QByteArray& reply, int expected, bool whole) {
    const auto quiet = reply.size() >= expected ? kQuietAfterComplete : kMessageGap;
    QByteArray tail = m_port.readUntilQuiet(quiet, quiet);
    if (tail.isEmpty())
        return true;
    // Left on the line, the rest would be raised as a registration by the
    // receiver. It is one only when the reply before it came whole.
    tail += m_port.readUntilQuiet(kMessageGap, kDrainLimit);
    if (whole)
        m_heldForReceiver += tail;
    return false;
}

void Vr12Link::discardRestOfReply() {
    m_port.readUntilQuiet(kMessageGap, kDrainLimit);
}

void Vr12Link::sendByte(char c) {
    m_port.write(QByteArray(1, c));
}

QByteArray Vr12Link::listingRead() {
    const QByteArray r = m_port.read(kRecordLength);
    if (isIdRecord(r)) {
        m_listing = true; // the listing keeps the lock until its end
        return r;
    }
    bool clean = false;
    if (r.size() == kRecordLength)
        discardRestOfReply();
    else
        clean = replyStoodAlone(r, kRecordLength, false);
    m_listing = false;
    unlock();
    return r.isEmpty() || !clean ? QByteArrayLiteral("Error") : QByteArrayLiteral("*");
}

QByteArray Vr12Link::readFirstID() {
    // A listing started again before its end reuses the lock it holds; taking
    // it once more would leave it held after the new listing ends.
    const bool restart = m_listing && m_lock.isHeldByCurrentThread();
    if (!restart && !lockForCommand())
        return QByteArrayLiteral("Busy");
    m_port.purge();
    sendByte('S');
    return listingRead();
}

QByteArray Vr12Link::readNextID() {
    // Outside a listing begun by this thread the line belongs to the receiver.
    if (!m_lock.isHeldByCurrentThread())
        return QByteArrayLiteral("Error");
    return listingRead();
}

short Vr12Link::eraseID(short slot) {
    // "%02X" of anything outside 0-255 would name another slot.
    if (slot < 0 || slot > 255)
        return 2;
    if (!lockForCommand())
        return 1;
    m_port.purge();
    sendByte('D');
    if (m_port.read(3).isEmpty()) {
        replyStoodAlone({}, 3, false);
        unlock();
        return 1;
    }
    const QByteArray hex = QString::asprintf("%02X", unsigned(slot)).toLatin1();
    sendByte(hex.at(0));
    sendByte(hex.at(1));
    const QByteArray reply = m_port.read(3);
    const bool done = reply.size() == 3 && reply.at(2) == '*';
    const bool clean = replyStoodAlone(reply, 3, done);
    unlock();
    if (reply.isEmpty())
        return 2;
    return done && clean ? 0 : 3;
}

short Vr12Link::payloadExchange(char command, const QByteArray& payload, bool isMaster) {
    if (payload.size() < kPayloadLength)
        return 100;
    if (!lockForCommand())
        return 1;
    m_port.purge();
    sendByte(command);
    const QByteArray prompt = m_port.read(3);
    if (prompt.size() != 3 || prompt.at(2) != '#') {
        replyStoodAlone(prompt, 3, false);
        unlock();
        return prompt.isEmpty() ? 1 : prompt.size() != 3 ? 2 : 3;
    }
    if (m_port.write(payload.left(kPayloadLength)) < kPayloadLength) {
        unlock();
        return 100;
    }
    std::this_thread::sleep_for(500ms);
    const QByteArray c = m_port.read(19);
    const bool clean = replyStoodAlone(c, 19, isConfirmation(c));
    unlock();
    if (c.isEmpty())
        return 4;
    if (c.size() != 19 || !clean)
        return 5;
    if (c.at(16) != ' ')
        return 7;
    const char letter = c.at(17);
    const bool star = c.at(18) == '*';
    if (isMaster)
        return letter == 'd' ? 6 : star ? 0 : 6;
    if (letter == 'd')
        return 10;
    return letter == 'a' && star ? 0 : 6;
}

short Vr12Link::addID(const QByteArray& mediaId) {
    return payloadExchange('A', mediaId, false);
}

short Vr12Link::newMaster(const QByteArray& mediaId) {
    return payloadExchange('N', mediaId, true);
}

void Vr12Link::openLock() {
    if (!lockForCommand())
        return;
    m_port.purge();
    sendByte('O');
    unlock();
}

QByteArray Vr12Link::eighteenByteRead(char command, bool (*wellFormed)(const QByteArray&)) {
    if (!lockForCommand())
        return QByteArrayLiteral("Busy");
    m_port.purge();
    sendByte(command);
    const QByteArray r = m_port.read(18);
    const bool full = r.size() == 18;
    if (full && wellFormed && !wellFormed(r.right(16))) {
        discardRestOfReply();
        unlock();
        return QByteArrayLiteral("Error");
    }
    const bool clean = replyStoodAlone(r, 18, full && wellFormed);
    unlock();
    if (!clean && !r.isEmpty())
        return QByteArrayLiteral("Error");
    switch (r.size()) {
    case 18:
        return r.right(16);
    case 3:
        return QByteArrayLiteral("Erased");
    case 0:
        return QByteArrayLiteral("Busy");
    default:
        return QByteArrayLiteral("Error");
    }
}

QByteArray Vr12Link::showMaster() {
    return eighteenByteRead('M', nullptr);
}

QByteArray Vr12Link::readParams() {
    return eighteenByteRead('T', isParamRecord);
}

short Vr12Link::writeParams(const QByteArray& record) {
    if (record.size() < kPayloadLength)
        return 3;
    if (!lockForCommand())
        return 1;
    m_port.purge();
    sendByte('J');
    const QByteArray prompt = m_port.read(3);
    if (prompt.size() != 3) {
        replyStoodAlone(prompt, 3, false);
        unlock();
        return prompt.isEmpty() ? 1 : 2;
    }
    if (m_port.write(record.left(kPayloadLength)) < kPayloadLength) {
        unlock();
        return 3;
    }
    const QByteArray c = m_port.read(19);
    const bool clean = replyStoodAlone(c, 19, isConfirmation(c));
    unlock();
    return clean && c.size() == 19 && c.at(18) == '*' ? 0 : 4;
}

short Vr12Link::clearTable() {
    if (!lockForCommand())
        return 1;
    m_port.purge();
    sendByte('C');
    std::this_thread::sleep_for(3000ms);
    const QByteArray r = m_port.read(1);
    const bool clean = replyStoodAlone(r, 1, r == "*");
    unlock();
    if (r.isEmpty())
        return 1;
    return clean && r.at(0) == '*' ? 0 : 2;
}

short Vr12Link::getStatus() {
    if (!lockForCommand())
        return 1;
    m_port.purge();
    sendByte('V');
    const QByteArray r = m_port.read(20);
    const bool clean = replyStoodAlone(r, 20, false);
    unlock();
    if (r.isEmpty() || !clean)
        return 1;
    m_firmware = r.mid(2);
    return 0;
}

} // namespace vr12comm

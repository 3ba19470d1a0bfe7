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
    // receiver. It is one only when the reply before it came whole and in its
    // fixed shape: then the reply stands and the receiver gets the message.
    tail += m_port.readUntilQuiet(kMessageGap, kDrainLimit);
    if (!whole)
        return false;
    m_heldForReceiver += tail;
    m_heldPending = true;
    wakeReceiver();
    return true;
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
    return QByteArray(r.isEmpty() || !clean ? kReplyError : kReplyEndOfTable);
}

QByteArray Vr12Link::readFirstID() {
    // A listing started again before its end reuses the lock it holds; taking
    // it once more would leave it held after the new listing ends.
    const bool restart = m_listing && m_lock.isHeldByCurrentThread();
    if (!restart && !lockForCommand())
        return kReplyBusy;
    m_port.purge();
    sendByte('S');
    return listingRead();
}

QByteArray Vr12Link::readNextID() {
    // Outside a listing begun by this thread the line belongs to the receiver.
    if (!m_lock.isHeldByCurrentThread())
        return kReplyError;
    return listingRead();
}

EraseIdResult Vr12Link::eraseID(short slot) {
    // "%02X" of anything outside 0-255 would name another slot.
    if (slot < 0 || slot > 255)
        return EraseIdNoSlotReply;
    if (!lockForCommand())
        return EraseIdNoReply;
    m_port.purge();
    sendByte('D');
    if (m_port.read(3).isEmpty()) {
        replyStoodAlone({}, 3, false);
        unlock();
        return EraseIdNoReply;
    }
    const QByteArray hex = QString::asprintf("%02X", unsigned(slot)).toLatin1();
    sendByte(hex.at(0));
    sendByte(hex.at(1));
    const QByteArray reply = m_port.read(3);
    const bool done = reply.size() == 3 && reply.at(2) == '*';
    const bool clean = replyStoodAlone(reply, 3, done);
    unlock();
    if (reply.isEmpty())
        return EraseIdNoSlotReply;
    return done && clean ? EraseIdOk : EraseIdNotConfirmed;
}

IdWriteResult Vr12Link::payloadExchange(char command, const QByteArray& payload, bool isMaster) {
    if (payload.size() < kPayloadLength)
        return IdWriteNotSent;
    if (!lockForCommand())
        return IdWriteNoReply;
    m_port.purge();
    sendByte(command);
    const QByteArray prompt = m_port.read(3);
    if (prompt.size() != 3 || prompt.at(2) != '#') {
        replyStoodAlone(prompt, 3, false);
        unlock();
        return prompt.isEmpty()     ? IdWriteNoReply
               : prompt.size() != 3 ? IdWriteShortPrompt
                                    : IdWriteWrongPrompt;
    }
    if (m_port.write(payload.left(kPayloadLength)) < kPayloadLength) {
        unlock();
        return IdWriteNotSent;
    }
    std::this_thread::sleep_for(500ms);
    const QByteArray c = m_port.read(19);
    const bool clean = replyStoodAlone(c, 19, isConfirmation(c));
    unlock();
    if (c.isEmpty())
        return IdWriteNoConfirmation;
    if (c.size() != 19 || !clean)
        return IdWriteShortConfirmation;
    if (c.at(16) != ' ')
        return IdWriteGarbled;
    const char letter = c.at(17);
    const bool star = c.at(18) == '*';
    if (isMaster)
        return letter == 'd' ? IdWriteRefused : star ? IdWriteOk : IdWriteRefused;
    if (letter == 'd')
        return IdWriteAlreadyInTable;
    return letter == 'a' && star ? IdWriteOk : IdWriteRefused;
}

IdWriteResult Vr12Link::addID(const QByteArray& mediaId) {
    return payloadExchange('A', mediaId, false);
}

IdWriteResult Vr12Link::newMaster(const QByteArray& mediaId) {
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
        return kReplyBusy;
    m_port.purge();
    sendByte(command);
    const QByteArray r = m_port.read(18);
    const bool full = r.size() == 18;
    if (full && wellFormed && !wellFormed(r.right(16))) {
        discardRestOfReply();
        unlock();
        return kReplyError;
    }
    const bool clean = replyStoodAlone(r, 18, full && wellFormed);
    unlock();
    if (!clean && !r.isEmpty())
        return kReplyError;
    switch (r.size()) {
    case 18:
        return r.right(16);
    case 3:
        return kReplyErased;
    case 0:
        return kReplyBusy;
    default:
        return kReplyError;
    }
}

QByteArray Vr12Link::showMaster() {
    return eighteenByteRead('M', nullptr);
}

QByteArray Vr12Link::readParams() {
    return eighteenByteRead('T', isParamRecord);
}

WriteParamsResult Vr12Link::writeParams(const QByteArray& record) {
    if (record.size() < kPayloadLength)
        return WriteParamsNotSent;
    if (!lockForCommand())
        return WriteParamsNoReply;
    m_port.purge();
    sendByte('J');
    const QByteArray prompt = m_port.read(3);
    if (prompt.size() != 3) {
        replyStoodAlone(prompt, 3, false);
        unlock();
        return prompt.isEmpty() ? WriteParamsNoReply : WriteParamsShortPrompt;
    }
    if (m_port.write(record.left(kPayloadLength)) < kPayloadLength) {
        unlock();
        return WriteParamsNotSent;
    }
    const QByteArray c = m_port.read(19);
    const bool clean = replyStoodAlone(c, 19, isConfirmation(c));
    unlock();
    return clean && c.size() == 19 && c.at(18) == '*' ? WriteParamsOk : WriteParamsNotConfirmed;
}

ClearTableResult Vr12Link::clearTable() {
    if (!lockForCommand())
        return ClearTableNoReply;
    m_port.purge();
    sendByte('C');
    std::this_thread::sleep_for(3000ms);
    const QByteArray r = m_port.read(1);
    const bool clean = replyStoodAlone(r, 1, r == "*");
    unlock();
    if (r.isEmpty())
        return ClearTableNoReply;
    return clean && r.at(0) == '*' ? ClearTableOk : ClearTableNotConfirmed;
}

GetStatusResult Vr12Link::getStatus() {
    if (!lockForCommand())
        return GetStatusNoReply;
    m_port.purge();
    sendByte('V');
    const QByteArray r = m_port.read(20);
    const bool clean = replyStoodAlone(r, 20, false);
    unlock();
    if (r.isEmpty() || !clean)
        return GetStatusNoReply;
    // Another thread's status check leaves the text alone: the owner's thread may be reading it.
    if (m_handOver.isOwnerThread())
        m_firmware = r.mid(2);
    return GetStatusOk;
}

} // namespace vr12comm

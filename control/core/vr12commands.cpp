// The ten command exchanges. Every one purges the line, sends its letter and
// judges the reply only by how many bytes arrived and a few marker characters.
#include "vr12link.h"

#include <thread>

using namespace std::chrono_literals;

namespace vr12comm {

namespace {
constexpr int kRecordLength = 22;
constexpr int kPayloadLength = 16;
} // namespace

void Vr12Link::sendByte(char c) {
    m_port.write(QByteArray(1, c));
}

QByteArray Vr12Link::listingRead() {
    const QByteArray r = m_port.read(kRecordLength);
    if (r.size() == kRecordLength) {
        m_listing = true; // the listing keeps the lock until its end
        return r;
    }
    m_listing = false;
    unlock();
    return QByteArray(r.isEmpty() ? kReplyError : kReplyEndOfTable);
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
        unlock();
        return EraseIdNoReply;
    }
    const QByteArray hex = QString::asprintf("%02X", unsigned(slot)).toLatin1();
    sendByte(hex.at(0));
    sendByte(hex.at(1));
    const QByteArray reply = m_port.read(3);
    unlock();
    if (reply.isEmpty())
        return EraseIdNoSlotReply;
    return reply.size() >= 3 && reply.at(2) == '*' ? EraseIdOk : EraseIdNotConfirmed;
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
    unlock();
    if (c.isEmpty())
        return IdWriteNoConfirmation;
    if (c.size() != 19)
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

QByteArray Vr12Link::eighteenByteRead(char command) {
    if (!lockForCommand())
        return kReplyBusy;
    m_port.purge();
    sendByte(command);
    const QByteArray r = m_port.read(18);
    unlock();
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
    return eighteenByteRead('M');
}

QByteArray Vr12Link::readParams() {
    return eighteenByteRead('T');
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
        unlock();
        return prompt.isEmpty() ? WriteParamsNoReply : WriteParamsShortPrompt;
    }
    if (m_port.write(record.left(kPayloadLength)) < kPayloadLength) {
        unlock();
        return WriteParamsNotSent;
    }
    const QByteArray c = m_port.read(19);
    unlock();
    return c.size() == 19 && c.at(18) == '*' ? WriteParamsOk : WriteParamsNotConfirmed;
}

ClearTableResult Vr12Link::clearTable() {
    if (!lockForCommand())
        return ClearTableNoReply;
    m_port.purge();
    sendByte('C');
    std::this_thread::sleep_for(3000ms);
    const QByteArray r = m_port.read(1);
    unlock();
    if (r.isEmpty())
        return ClearTableNoReply;
    return r.at(0) == '*' ? ClearTableOk : ClearTableNotConfirmed;
}

GetStatusResult Vr12Link::getStatus() {
    if (!lockForCommand())
        return GetStatusNoReply;
    m_port.purge();
    sendByte('V');
    const QByteArray r = m_port.read(20);
    unlock();
    if (r.isEmpty())
        return GetStatusNoReply;
    m_firmware = r.mid(2);
    return GetStatusOk;
}

} // namespace vr12comm

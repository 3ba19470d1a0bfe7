// The automation interface: every property and method by dispatch identifier.
#include "vr12commctrl.h"

namespace vr12comm {

namespace {

// Text arguments are the controller's bytes: a byte array as it is, a string one byte per
// character. (QVariant would read a byte array as UTF-8 first.)
QByteArray bytes(const QVariant& v) {
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return v.toString().toLatin1();
}
QString text(const QByteArray& b) {
    return QString::fromLatin1(b);
}

// A short argument: numbers only, and only what fits in 16 bits.
InvokeStatus toShort(const QVariant& v, short* out) {
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok)
        return InvokeStatus::TypeMismatch;
    if (n < -32768 || n > 32767)
        return InvokeStatus::Overflow;
    *out = short(n);
    return InvokeStatus::Ok;
}

bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
}

} // namespace

QVariant CVr12CommCtrl::readProperty(int dispId) const {
    switch (dispId) {
    case DispAsciiFileName:
        return m_link.asciiFileName();
    case DispLastReg:
        return text(m_link.lastReg());
    case DispAction:
        return text(m_link.action());
    case DispIButtonID:
        return text(m_link.iButtonId());
    case DispDateReg:
        return text(m_link.dateReg());
    case DispTimeReg:
        return text(m_link.timeReg());
    case DispFirmWare:
        return text(m_link.firmware());
    case DispErrorMessage:
        return m_errorMessage;
    case DispErrorCode:
        return m_errorCode;
    default:
        return {};
    }
}

InvokeStatus CVr12CommCtrl::writeProperty(int dispId, const QVariant& value) {
    if (dispId == DispErrorCode) {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        if (!ok)
            return InvokeStatus::TypeMismatch;
        if (n < INT32_MIN || n > INT32_MAX)
            return InvokeStatus::Overflow;
        m_errorCode = qint32(n);
    } else {
        if (!value.canConvert<QString>())
            return InvokeStatus::TypeMismatch;
        switch (dispId) {
        case DispAsciiFileName:
            m_link.setAsciiFileName(value.toString());
            break;
        case DispLastReg:
            m_link.setLastReg(bytes(value));
            break;
        case DispAction:
            m_link.setAction(bytes(value));
            break;
        case DispIButtonID:
            m_link.setIButtonId(bytes(value));
            break;
        case DispDateReg:
            m_link.setDateReg(bytes(value));
            break;
        case DispTimeReg:
            m_link.setTimeReg(bytes(value));
            break;
        case DispFirmWare:
            m_link.setFirmware(bytes(value));
            break;
        case DispErrorMessage:
            m_errorMessage = value.toString();
            break;
        default:
            return InvokeStatus::UnknownMember;
        }
    }
    m_modified = true;
    return InvokeStatus::Ok;
}

InvokeStatus CVr12CommCtrl::callMethod(int dispId, const QVariantList& args, QVariant* result) {
    QVariant r;
    auto expect = [&](int count) { return args.size() == count; };
    short number = 0;
    InvokeStatus st = InvokeStatus::Ok;
    switch (dispId) {
    case DispInit:
        if (!expect(1))
            return InvokeStatus::BadParamCount;
        if ((st = toShort(args.at(0), &number)) != InvokeStatus::Ok)
            return st;
        r = m_link.init(number);
        break;
    case DispEraseID:
        if (!expect(1))
            return InvokeStatus::BadParamCount;
        if ((st = toShort(args.at(0), &number)) != InvokeStatus::Ok)
            return st;
        r = int(m_link.eraseID(number));
        break;
    case DispAddID:
    case DispNewMaster:
    case DispWriteParams: {
        if (!expect(1))
            return InvokeStatus::BadParamCount;
        if (!isText(args.at(0)))
            return InvokeStatus::TypeMismatch;
        const QByteArray payload = bytes(args.at(0));
        if (dispId == DispAddID)
            r = int(m_link.addID(payload));
        else if (dispId == DispNewMaster)
            r = int(m_link.newMaster(payload));
        else
            r = int(m_link.writeParams(payload));
        break;
    }
    default:
        if (!expect(0))
            return InvokeStatus::BadParamCount;
        switch (dispId) {
        case DispReadFirstID:
            r = text(m_link.readFirstID());
            break;
        case DispReadNextID:
            r = text(m_link.readNextID());
            break;
        case DispOpenLock:
            m_link.openLock();
            break;
        case DispDestroy:
            r = m_link.destroy();
            break;
        case DispShowMaster:
            r = text(m_link.showMaster());
            break;
        case DispClearTable:
            r = int(m_link.clearTable());
            break;
        case DispGetStatus:
            r = int(m_link.getStatus());
            break;
        case DispReadParams:
            r = text(m_link.readParams());
            break;
        case DispAboutBox:
            showAboutBox();
            break;
        default:
            return InvokeStatus::UnknownMember;
        }
    }
    if (result)
        *result = r;
    return InvokeStatus::Ok;
}

InvokeStatus CVr12CommCtrl::invoke(int dispId, InvokeKind kind, const QVariantList& args,
                                   QVariant* result) {
    const bool isProperty = dispId >= DispAsciiFileName && dispId <= DispErrorCode;
    if (isProperty) {
        switch (kind) {
        case InvokeKind::PropertyPut:
            return args.size() == 1 ? writeProperty(dispId, args.at(0))
                                    : InvokeStatus::BadParamCount;
        case InvokeKind::PropertyGet:
        case InvokeKind::Method:
            if (!args.isEmpty())
                return InvokeStatus::BadParamCount;
            if (result)
                *result = readProperty(dispId);
            return InvokeStatus::Ok;
        }
    }
    if (kind != InvokeKind::Method)
        return InvokeStatus::UnknownMember;
    return callMethod(dispId, args, result);
}

} // namespace vr12comm

#include "vr12comm.h"

#include "resourceids.h"
#include "textformat.h"

#include <QWidget>

#include <exception>

using namespace res;

using namespace vr12comm;

namespace {

const char* memberName(int dispId) {
    switch (dispId) {
    case DispAsciiFileName:
        return "AsciiFileName";
    case DispLastReg:
        return "LastReg";
    case DispAction:
        return "Action";
    case DispIButtonID:
        return "IButtonID";
    case DispDateReg:
        return "DateReg";
    case DispTimeReg:
        return "TimeReg";
    case DispFirmWare:
        return "FirmWare";
    case DispErrorMessage:
        return "ErrorMessage";
    case DispErrorCode:
        return "ErrorCode";
    case DispInit:
        return "Init";
    case DispReadFirstID:
        return "ReadFirstID";
    case DispReadNextID:
        return "ReadNextID";
    case DispEraseID:
        return "EraseID";
    case DispAddID:
        return "AddID";
    case DispOpenLock:
        return "OpenLock";
    case DispDestroy:
        return "Destroy";
    case DispShowMaster:
        return "ShowMaster";
    case DispNewMaster:
        return "NewMaster";
    case DispClearTable:
        return "ClearTable";
    case DispGetStatus:
        return "GetStatus";
    case DispWriteParams:
        return "WriteParams";
    case DispReadParams:
        return "ReadParams";
    case DispAboutBox:
        return "AboutBox";
    }
    return "?";
}

QString statusText(InvokeStatus status) {
    switch (status) {
    case InvokeStatus::Ok:
        break;
    case InvokeStatus::UnknownMember:
        return S(IDS_LINK_NO_MEMBER);
    case InvokeStatus::BadParamCount:
        return S(IDS_LINK_ARGUMENT_COUNT);
    case InvokeStatus::TypeMismatch:
        return S(IDS_LINK_ARGUMENT_TYPE);
    case InvokeStatus::Overflow:
        return S(IDS_LINK_OUT_OF_RANGE);
    }
    return QString();
}

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool fits(const QVariant& v, qlonglong low, qlonglong high) {
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    return ok && n >= low && n <= high;
}

// The automation layer passes short arguments as 16-bit integers.
QVariant shortArg(short value) {
    return QVariant::fromValue(value);
}

} // namespace

CVr12Comm::CVr12Comm(QObject* parent) : QObject(parent) {}

// The control belongs to its window's parent and is stopped by its form (Destroy).
CVr12Comm::~CVr12Comm() = default;

void CVr12Comm::Attach(IVr12CommControl* control) {
    if (m_widget)
        disconnect(m_widget, nullptr, this, nullptr);
    m_control = control;
    m_widget = control ? control->widget() : nullptr;
    m_errorText.clear();
    m_failureReported = false;
    if (!m_widget)
        return;
    // The control's events are string-based signals of its window.
    connect(m_widget, kRxMessageSignal, this, SIGNAL(RxMessage()));
    connect(m_widget, kErrMessageSignal, this, SIGNAL(ErrMessage()));
}

void CVr12Comm::SetUnlinked(const QString& why) {
    Attach(nullptr);
    m_errorText = why;
}

bool CVr12Comm::IsLinked() const {
    return m_control && m_widget;
}

QWidget* CVr12Comm::Widget() const {
    return IsLinked() ? m_widget.data() : nullptr;
}

IVr12CommControl* CVr12Comm::Control() const {
    return IsLinked() ? m_control : nullptr;
}

void CVr12Comm::ReportFailure(int dispId, const QString& why) {
    if (m_failureReported)
        return;
    m_failureReported = true;
    m_errorText = FormatString(IDS_LINK_CALL_FAILED, memberName(dispId), why);
    emit CallFailed(m_errorText);
}

bool CVr12Comm::Call(int dispId, InvokeKind kind, const QVariantList& args, Expect expect,
                     QVariant* result) {
    if (!m_control)
        return false; // unlinked: the caller was told when the control could not be made
    if (!m_widget) {
        ReportFailure(dispId, S(IDS_LINK_CONTROL_GONE));
        return false;
    }
    QVariant r;
    InvokeStatus status = InvokeStatus::Ok;
    try {
        status = m_control->invoke(dispId, kind, args, &r);
    } catch (const std::exception& e) {
        ReportFailure(dispId,
                      FormatString(IDS_LINK_EXCEPTION_WHAT, QString::fromLocal8Bit(e.what())));
        return false;
    } catch (...) {
        ReportFailure(dispId, S(IDS_LINK_EXCEPTION));
        return false;
    }
    if (status != InvokeStatus::Ok) {
        ReportFailure(dispId, statusText(status));
        return false;
    }
    bool shaped = true;
    switch (expect) {
    case Expect::Nothing:
        break;
    case Expect::Text:
        shaped = r.typeId() == QMetaType::QString || r.typeId() == QMetaType::QByteArray;
        if (r.typeId() == QMetaType::QByteArray)
            r = QString::fromLatin1(r.toByteArray());
        break;
    case Expect::Short:
        shaped = isNumber(r) && fits(r, -32768, 32767);
        break;
    case Expect::Int32:
        shaped = isNumber(r) && fits(r, INT32_MIN, INT32_MAX);
        break;
    case Expect::Bool:
        shaped = r.typeId() == QMetaType::Bool;
        break;
    }
    // An empty or misshapen result must not read as 0, which is success.
    if (!shaped) {
        ReportFailure(dispId, S(IDS_LINK_RESULT_TYPE));
        return false;
    }
    if (result)
        *result = r;
    return true;
}

QString CVr12Comm::GetText(int dispId) {
    QVariant r;
    return Call(dispId, InvokeKind::PropertyGet, {}, Expect::Text, &r) ? r.toString() : QString();
}

void CVr12Comm::Put(int dispId, const QVariant& value) {
    Call(dispId, InvokeKind::PropertyPut, {value}, Expect::Nothing, nullptr);
}

QString CVr12Comm::TextCommand(int dispId) {
    QVariant r;
    return Call(dispId, InvokeKind::Method, {}, Expect::Text, &r) ? r.toString()
                                                                  : QLatin1String(kReplyError);
}

int CVr12Comm::ShortCommand(int dispId, const QVariantList& args, int failure) {
    QVariant r;
    return Call(dispId, InvokeKind::Method, args, Expect::Short, &r) ? r.toInt() : failure;
}

QString CVr12Comm::GetAsciiFileName() {
    return GetText(DispAsciiFileName);
}
void CVr12Comm::SetAsciiFileName(const QString& value) {
    Put(DispAsciiFileName, value);
}
QString CVr12Comm::GetLastReg() {
    return GetText(DispLastReg);
}
void CVr12Comm::SetLastReg(const QString& value) {
    Put(DispLastReg, value);
}
QString CVr12Comm::GetAction() {
    return GetText(DispAction);
}
void CVr12Comm::SetAction(const QString& value) {
    Put(DispAction, value);
}
QString CVr12Comm::GetIButtonID() {
    return GetText(DispIButtonID);
}
void CVr12Comm::SetIButtonID(const QString& value) {
    Put(DispIButtonID, value);
}
QString CVr12Comm::GetDateReg() {
    return GetText(DispDateReg);
}
void CVr12Comm::SetDateReg(const QString& value) {
    Put(DispDateReg, value);
}
QString CVr12Comm::GetTimeReg() {
    return GetText(DispTimeReg);
}
void CVr12Comm::SetTimeReg(const QString& value) {
    Put(DispTimeReg, value);
}
QString CVr12Comm::GetFirmWare() {
    return GetText(DispFirmWare);
}
void CVr12Comm::SetFirmWare(const QString& value) {
    Put(DispFirmWare, value);
}
QString CVr12Comm::GetErrorMessage() {
    return GetText(DispErrorMessage);
}
void CVr12Comm::SetErrorMessage(const QString& value) {
    Put(DispErrorMessage, value);
}
qint32 CVr12Comm::GetErrorCode() {
    QVariant r;
    return Call(DispErrorCode, InvokeKind::PropertyGet, {}, Expect::Int32, &r) ? r.toInt() : 0;
}
void CVr12Comm::SetErrorCode(qint32 value) {
    Put(DispErrorCode, QVariant::fromValue(value));
}

bool CVr12Comm::Init(short portNum) {
    QVariant r;
    return Call(DispInit, InvokeKind::Method, {shortArg(portNum)}, Expect::Bool, &r) && r.toBool();
}

bool CVr12Comm::Reopen(short portNum) {
    Destroy();
    return Init(portNum);
}

QString CVr12Comm::ReadFirstID() {
    return TextCommand(DispReadFirstID);
}

QString CVr12Comm::ReadNextID() {
    return TextCommand(DispReadNextID);
}

EraseIdResult CVr12Comm::EraseID(short id) {
    return EraseIdResult(ShortCommand(DispEraseID, {shortArg(id)}, EraseIdNoReply));
}

IdWriteResult CVr12Comm::AddID(const QString& iButton) {
    return IdWriteResult(ShortCommand(DispAddID, {iButton}, IdWriteNoReply));
}

void CVr12Comm::OpenLock() {
    Call(DispOpenLock, InvokeKind::Method, {}, Expect::Nothing, nullptr);
}

bool CVr12Comm::Destroy() {
    QVariant r;
    return Call(DispDestroy, InvokeKind::Method, {}, Expect::Bool, &r) && r.toBool();
}

QString CVr12Comm::ShowMaster() {
    return TextCommand(DispShowMaster);
}

IdWriteResult CVr12Comm::NewMaster(const QString& master) {
    return IdWriteResult(ShortCommand(DispNewMaster, {master}, IdWriteNoReply));
}

ClearTableResult CVr12Comm::ClearTable() {
    return ClearTableResult(ShortCommand(DispClearTable, {}, ClearTableNoReply));
}

GetStatusResult CVr12Comm::GetStatus() {
    return GetStatusResult(ShortCommand(DispGetStatus, {}, GetStatusNoReply));
}

WriteParamsResult CVr12Comm::WriteParams(const QString& master) {
    return WriteParamsResult(ShortCommand(DispWriteParams, {master}, WriteParamsNoReply));
}

QString CVr12Comm::ReadParams() {
    return TextCommand(DispReadParams);
}

void CVr12Comm::AboutBox() {
    Call(DispAboutBox, InvokeKind::Method, {}, Expect::Nothing, nullptr);
}

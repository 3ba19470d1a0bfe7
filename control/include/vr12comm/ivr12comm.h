#pragma once

// The communication control VR12COMM as its users see it. This header is all a
// program needs: it links nothing of the control and loads the module at run
// time. A control instance is a widget (it shows its link state) driven through
// one invoke entry point by dispatch identifier, with typed calls on top; its
// two events are the Qt signals RxMessage() and ErrMessage() of widget().
//
// Texts that come from the controller (LastReg, Action, IButtonID, FirmWare,
// the listing's records, ShowMaster, ReadParams) are 8-bit: each character of
// the QString is one byte of the controller's text (Latin-1), so they round-trip
// exactly. Text arguments are passed on the same way.

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonObject>
#include <QObject>
#include <QPluginLoader>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <QtPlugin>

#include "vr12results.h"

namespace vr12comm {

inline constexpr char kProgId[] = "VR12COMM.Vr12CommCtrl.1";
inline constexpr char kTypeName[] = "Vr12Comm Control";
inline constexpr char kPluginFileName[] = "libvr12comm.so";
// For QObject::connect(control->widget(), kRxMessageSignal, receiver, SLOT(...)).
inline constexpr char kRxMessageSignal[] = "2RxMessage()";
inline constexpr char kErrMessageSignal[] = "2ErrMessage()";

enum DispId : int {
    // Properties.
    DispAsciiFileName = 1,
    DispLastReg = 2,
    DispAction = 3,
    DispIButtonID = 4,
    DispDateReg = 5,
    DispTimeReg = 6,
    DispFirmWare = 7,
    DispErrorMessage = 8,
    DispErrorCode = 9,
    // Methods.
    DispInit = 10,
    DispReadFirstID = 11,
    DispReadNextID = 12,
    DispEraseID = 13,
    DispAddID = 14,
    DispOpenLock = 15,
    DispDestroy = 16,
    DispShowMaster = 17,
    DispNewMaster = 18,
    DispClearTable = 19,
    DispGetStatus = 20,
    DispWriteParams = 21,
    DispReadParams = 22,
    DispAboutBox = -552,
};

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// How an invoke call itself went (the method's own result is in `result`).
enum class InvokeStatus {
    Ok,
    UnknownMember, // no such dispatch identifier for this kind of call
    BadParamCount,
    TypeMismatch,
    Overflow, // a number outside the argument's type (short: -32768..32767)
};

// Link states shown by the control's picture.
enum LinkState { LinkNothingOpen = 0, LinkLogOnly = 1, LinkPortOnly = 2, LinkBothOpen = 3 };

class IVr12CommControl {
public:
    virtual ~IVr12CommControl() = default;

    // The control's window; it carries the RxMessage() and ErrMessage() signals.
    virtual QWidget* widget() = 0;
    virtual InvokeStatus invoke(int dispId, InvokeKind kind, const QVariantList& args,
                                QVariant* result) = 0;

    // Persistent state, version 1.0: "AsciiFileName" (default "reg.txt") and
    // "LastReg" (default "").
    virtual QVariantMap saveProperties() const = 0;
    virtual void loadProperties(const QVariantMap& properties) = 0;
    virtual void resetProperties() = 0;
    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;

    virtual int linkState() const = 0;
    // Why the last Init failed or the line hung up: the device path (or the
    // log file) and the reason, for the user. Empty after success.
    virtual QString lastLinkError() const = 0;
    // Why registrations are not being written to the log file: it did not open
    // (ErrMessage came) or the last line could not be written (ErrMessage came
    // after RxMessage). The control tries to open the file again at every
    // registration; this is empty again once a line went in or a new
    // AsciiFileName opened.
    virtual QString logFileError() const = 0;
    // A command is under way (a listing counts until its end); the receiver's own reading
    // does not. A command started now would wait for it.
    virtual bool commandRunning() const = 0;

    // Typed calls, each one invoke by dispatch identifier; numeric results are
    // named in vr12results.h.
    QString asciiFileName() { return get(DispAsciiFileName).toString(); }
    void setAsciiFileName(const QString& v) { put(DispAsciiFileName, v); }
    QString lastReg() { return get(DispLastReg).toString(); }
    void setLastReg(const QString& v) { put(DispLastReg, v); }
    QString action() { return get(DispAction).toString(); }
    void setAction(const QString& v) { put(DispAction, v); }
    QString iButtonID() { return get(DispIButtonID).toString(); }
    void setIButtonID(const QString& v) { put(DispIButtonID, v); }
    QString dateReg() { return get(DispDateReg).toString(); }
    void setDateReg(const QString& v) { put(DispDateReg, v); }
    QString timeReg() { return get(DispTimeReg).toString(); }
    void setTimeReg(const QString& v) { put(DispTimeReg, v); }
    QString firmWare() { return get(DispFirmWare).toString(); }
    void setFirmWare(const QString& v) { put(DispFirmWare, v); }
    QString errorMessage() { return get(DispErrorMessage).toString(); }
    void setErrorMessage(const QString& v) { put(DispErrorMessage, v); }
    qint32 errorCode() { return get(DispErrorCode).toInt(); }
    void setErrorCode(qint32 v) { put(DispErrorCode, v); }

    bool init(short portNum) { return call(DispInit, {int(portNum)}).toBool(); }
    QString readFirstID() { return call(DispReadFirstID).toString(); }
    QString readNextID() { return call(DispReadNextID).toString(); }
    EraseIdResult eraseID(short id) { return EraseIdResult(call(DispEraseID, {int(id)}).toInt()); }
    IdWriteResult addID(const QString& iButton) {
        return IdWriteResult(call(DispAddID, {iButton}).toInt());
    }
    void openLock() { call(DispOpenLock); }
    bool destroy() { return call(DispDestroy).toBool(); }
    QString showMaster() { return call(DispShowMaster).toString(); }
    IdWriteResult newMaster(const QString& master) {
        return IdWriteResult(call(DispNewMaster, {master}).toInt());
    }
    ClearTableResult clearTable() { return ClearTableResult(call(DispClearTable).toInt()); }
    GetStatusResult getStatus() { return GetStatusResult(call(DispGetStatus).toInt()); }
    WriteParamsResult writeParams(const QString& master) {
        return WriteParamsResult(call(DispWriteParams, {master}).toInt());
    }
    QString readParams() { return call(DispReadParams).toString(); }
    void aboutBox() { call(DispAboutBox); }

private:
    QVariant get(int id) {
        QVariant r;
        invoke(id, InvokeKind::PropertyGet, {}, &r);
        return r;
    }
    void put(int id, const QVariant& v) { invoke(id, InvokeKind::PropertyPut, {v}, nullptr); }
    QVariant call(int id, const QVariantList& args = {}) {
        QVariant r;
        invoke(id, InvokeKind::Method, args, &r);
        return r;
    }
};

class IVr12CommFactory {
public:
    virtual ~IVr12CommFactory() = default;
    // A new control as a child of `parent`; it is deleted with its parent, or
    // by deleting widget() when it has none. Call Destroy before that.
    virtual IVr12CommControl* createControl(QWidget* parent) = 0;
    // The control's (empty) property page, caption "General".
    virtual QWidget* createPropertyPage(QWidget* parent) = 0;
};

} // namespace vr12comm

#define VR12COMM_FACTORY_IID "VR12COMM.Vr12CommCtrl.1/IVr12CommFactory/1.0"
Q_DECLARE_INTERFACE(vr12comm::IVr12CommFactory, VR12COMM_FACTORY_IID)

namespace vr12comm {

// Where the module is looked for: $VR12COMM_PLUGIN (a full path) when set, else
// "plugins/libvr12comm.so" beside the executable.
inline QString pluginPath() {
    const QString explicitPath = qEnvironmentVariable("VR12COMM_PLUGIN");
    if (!explicitPath.isEmpty())
        return explicitPath;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/plugins/") +
           QString::fromLatin1(kPluginFileName);
}

// Loads the module and returns its factory, or nullptr with the reason in
// *error. The module stays loaded for the rest of the process.
inline IVr12CommFactory* loadFactory(QString* error = nullptr) {
    const QString path = pluginPath();
    auto fail = [&](const QString& why) -> IVr12CommFactory* {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return nullptr;
    };
    if (!QFileInfo::exists(path))
        return fail(QStringLiteral("the control module is not installed"));
    QPluginLoader loader(path);
    const QJsonObject meta = loader.metaData().value(QStringLiteral("MetaData")).toObject();
    if (meta.value(QStringLiteral("ProgID")).toString() != QLatin1String(kProgId))
        return fail(QStringLiteral("not the %1 module").arg(QLatin1String(kTypeName)));
    QObject* root = loader.instance();
    if (!root)
        return fail(loader.errorString());
    auto* factory = qobject_cast<IVr12CommFactory*>(root);
    if (!factory)
        return fail(QStringLiteral("the module offers no control factory"));
    return factory;
}

} // namespace vr12comm

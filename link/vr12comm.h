#pragma once

#include "controllerline.h"

#include <vr12comm/ivr12comm.h>
#include <vr12comm/vr12results.h>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

class QWidget;

// The program's handle on one control instance: one operation per member of the control's
// automation interface, each one invoke by dispatch identifier. A wrapper without a control
// ("unlinked": the module could not be loaded or the control not created) answers every
// operation with the failure value, as does a call the control itself refuses: Init and Destroy
// false, commands their "no reply" result, text commands "Error", properties empty or 0.
class CVr12Comm : public QObject, public IControllerLine {
    Q_OBJECT
public:
    explicit CVr12Comm(QObject* parent = nullptr);
    ~CVr12Comm() override;
    CVr12Comm(const CVr12Comm&) = delete;
    CVr12Comm& operator=(const CVr12Comm&) = delete;

    // Addresses `control` (owned by its widget's parent, not by the wrapper) and passes its
    // events on as this wrapper's own.
    void Attach(vr12comm::IVr12CommControl* control);
    // No control; `why` is what the user is told (kept as ErrorText()).
    void SetUnlinked(const QString& why);

    // A control is attached and its window still exists.
    bool IsLinked() const;
    // The control's window, for the form to place; nullptr when unlinked.
    QWidget* Widget() const;
    vr12comm::IVr12CommControl* Control() const;
    // Why the wrapper is unlinked, else the first call the control refused; empty when neither.
    QString ErrorText() const { return m_errorText; }

    QString GetAsciiFileName();
    void SetAsciiFileName(const QString& value);
    QString GetLastReg();
    void SetLastReg(const QString& value);
    QString GetAction();
    void SetAction(const QString& value);
    QString GetIButtonID();
    void SetIButtonID(const QString& value);
    QString GetDateReg();
    void SetDateReg(const QString& value);
    QString GetTimeReg();
    void SetTimeReg(const QString& value);
    QString GetFirmWare() override;
    void SetFirmWare(const QString& value);
    QString GetErrorMessage();
    void SetErrorMessage(const QString& value);
    qint32 GetErrorCode();
    void SetErrorCode(qint32 value);

    bool Init(short portNum);
    // Destroy, then Init: the port is opened afresh (its device link resolved again) after it
    // did not open or hung up, the receiver's thread and the old handle given back first.
    bool Reopen(short portNum);
    QString ReadFirstID() override;
    QString ReadNextID() override;
    vr12comm::EraseIdResult EraseID(short id) override;
    vr12comm::IdWriteResult AddID(const QString& iButton) override;
    void OpenLock() override;
    bool Destroy();
    QString ShowMaster() override;
    vr12comm::IdWriteResult NewMaster(const QString& master) override;
    vr12comm::ClearTableResult ClearTable() override;
    vr12comm::GetStatusResult GetStatus() override;
    vr12comm::WriteParamsResult WriteParams(const QString& master) override;
    QString ReadParams() override;
    void AboutBox();

signals:
    void RxMessage();
    void ErrMessage();
    // The first call the control refused or answered with a result of the wrong type; later
    // failures of this wrapper stay silent so that the user is told once.
    void CallFailed(const QString& text);

private:
    enum class Expect { Nothing, Text, Short, Int32, Bool };

    // One invoke; false when unlinked or when the call or its result failed (reported once).
    bool Call(int dispId, vr12comm::InvokeKind kind, const QVariantList& args, Expect expect,
              QVariant* result);
    QString GetText(int dispId);
    void Put(int dispId, const QVariant& value);
    QString TextCommand(int dispId);
    int ShortCommand(int dispId, const QVariantList& args, int failure);
    void ReportFailure(int dispId, const QString& why);

    vr12comm::IVr12CommControl* m_control = nullptr;
    QPointer<QWidget> m_widget;
    QString m_errorText;
    bool m_failureReported = false;
};

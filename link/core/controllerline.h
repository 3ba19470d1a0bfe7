#pragma once

#include <vr12comm/vr12results.h>

#include <QString>

#include <string>

// The calls the controller operations make on one controller's control, named and typed as the
// program's wrapper (CVr12Comm) has them: codes (0 success) and reply texts. The wrapper is
// one; tests answer them straight from a link, without a window.
class IControllerLine {
public:
    virtual ~IControllerLine() = default;

    virtual vr12comm::GetStatusResult GetStatus() = 0;
    virtual QString GetFirmWare() = 0;
    virtual QString ShowMaster() = 0;
    virtual vr12comm::IdWriteResult NewMaster(const QString& master) = 0;
    virtual void OpenLock() = 0;
    virtual QString ReadParams() = 0;
    virtual vr12comm::WriteParamsResult WriteParams(const QString& master) = 0;
    virtual QString ReadFirstID() = 0;
    virtual QString ReadNextID() = 0;
    virtual vr12comm::IdWriteResult AddID(const QString& iButton) = 0;
    virtual vr12comm::EraseIdResult EraseID(short id) = 0;
    virtual vr12comm::ClearTableResult ClearTable() = 0;
};

// The texts of these calls are the controller's bytes, one per character (Latin-1), as the
// control passes them on; the workspace keeps exactly those bytes.
inline std::string lineBytes(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), size_t(bytes.size()));
}
inline QString lineText(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

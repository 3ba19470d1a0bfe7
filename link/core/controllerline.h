#pragma once

#include <QString>

#include <string>

// The calls the controller operations make on one controller's control, with the control's
// own results: codes (0 success) and reply texts. The program answers them through its
// control binding; tests can answer them straight from a link.
class IControllerLine {
public:
    virtual ~IControllerLine() = default;

    virtual int GetStatus() = 0;
    virtual QString FirmWare() = 0;
    virtual QString ShowMaster() = 0;
    virtual int NewMaster(const QString& mediaId) = 0;
    virtual void OpenLock() = 0;
    virtual QString ReadParams() = 0;
    virtual int WriteParams(const QString& record) = 0;
    virtual QString ReadFirstID() = 0;
    virtual QString ReadNextID() = 0;
    virtual int AddID(const QString& mediaId) = 0;
    virtual int EraseID(int slot) = 0;
    virtual int ClearTable() = 0;
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

#pragma once

#include "vr12link.h"

#include <vr12comm/ivr12comm.h>

#include <QWidget>

namespace vr12comm {

// One control instance: one controller on one serial port. The window-free work
// is done by its Vr12Link; this adds dispatch, persistence and the picture.
class CVr12CommCtrl : public QWidget, public IVr12CommControl {
    Q_OBJECT
public:
    explicit CVr12CommCtrl(QWidget* parent = nullptr);
    ~CVr12CommCtrl() override;

    QWidget* widget() override { return this; }
    InvokeStatus invoke(int dispId, InvokeKind kind, const QVariantList& args,
                        QVariant* result) override;

    QVariantMap saveProperties() const override;
    void loadProperties(const QVariantMap& properties) override;
    void resetProperties() override;
    bool isModified() const override { return m_modified; }
    void setModified(bool modified) override { m_modified = modified; }
    int linkState() const override { return m_link.linkState(); }
    QString lastLinkError() const override { return m_link.lastError(); }
    QString logFileError() const override { return m_link.logError(); }
    bool commandRunning() const override { return m_link.commandRunning(); }

    QSize sizeHint() const override { return {48, 48}; }

signals:
    void RxMessage();
    void ErrMessage();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Not property()/setProperty(): those would hide QObject's for every later caller.
    QVariant readProperty(int dispId) const;
    InvokeStatus writeProperty(int dispId, const QVariant& value);
    InvokeStatus callMethod(int dispId, const QVariantList& args, QVariant* result);
    void showAboutBox();

    Vr12Link m_link;
    QString m_errorMessage;
    qint32 m_errorCode = 0;
    bool m_modified = false;
};

} // namespace vr12comm

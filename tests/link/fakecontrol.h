#pragma once

#include <vr12comm/ivr12comm.h>

#include <QList>
#include <QMap>
#include <QWidget>

#include <stdexcept>

// A control of another build of the module: it records every invoke and answers as told, so
// that refused calls and misshapen results can be provoked.
class FakeControl : public QWidget, public vr12comm::IVr12CommControl {
    Q_OBJECT
public:
    struct Invoked {
        int dispId;
        vr12comm::InvokeKind kind;
        QVariantList args;
    };

    using QWidget::QWidget;

    QList<Invoked> calls;
    QMap<int, vr12comm::InvokeStatus> statuses; // by dispatch identifier; Ok when absent
    QMap<int, QVariant> results;                // by dispatch identifier; invalid when absent
    int throwOn = 0;

    QWidget* widget() override { return this; }
    vr12comm::InvokeStatus invoke(int dispId, vr12comm::InvokeKind kind, const QVariantList& args,
                                  QVariant* result) override {
        calls << Invoked{dispId, kind, args};
        if (throwOn == dispId)
            throw std::runtime_error("out of order");
        if (statuses.contains(dispId))
            return statuses.value(dispId);
        if (result)
            *result = results.value(dispId);
        return vr12comm::InvokeStatus::Ok;
    }
    QVariantMap saveProperties() const override { return {}; }
    void loadProperties(const QVariantMap&) override {}
    void resetProperties() override {}
    bool isModified() const override { return false; }
    void setModified(bool) override {}
    int linkState() const override { return 0; }
    QString lastLinkError() const override { return {}; }
    QString logFileError() const override { return {}; }
    bool commandRunning() const override { return false; }

signals:
    void RxMessage();
    void ErrMessage();
};

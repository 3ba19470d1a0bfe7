#pragma once

#include <vr12comm/ivr12comm.h>

#include <QObject>

namespace vr12comm {

// The module's entry point: what the loader instantiates.
class Vr12CommPlugin : public QObject, public IVr12CommFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VR12COMM_FACTORY_IID FILE "vr12comm.json")
    Q_INTERFACES(vr12comm::IVr12CommFactory)
public:
    IVr12CommControl* createControl(QWidget* parent) override;
    QWidget* createPropertyPage(QWidget* parent) override;
};

} // namespace vr12comm

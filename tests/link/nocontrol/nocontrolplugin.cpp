// A module that passes for the control's but cannot make a control (for example one whose
// resources are missing): the program must stay without a link rather than crash.
#include <vr12comm/ivr12comm.h>

#include <QObject>

class NoControlPlugin : public QObject, public vr12comm::IVr12CommFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VR12COMM_FACTORY_IID FILE "nocontrol.json")
    Q_INTERFACES(vr12comm::IVr12CommFactory)
public:
    vr12comm::IVr12CommControl* createControl(QWidget*) override { return nullptr; }
    QWidget* createPropertyPage(QWidget*) override { return nullptr; }
};

#include "nocontrolplugin.moc"

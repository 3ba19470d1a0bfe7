#include "vr12commplugin.h"

#include "vr12commctrl.h"

namespace vr12comm {

IVr12CommControl* Vr12CommPlugin::createControl(QWidget* parent) {
    return new CVr12CommCtrl(parent);
}

QWidget* Vr12CommPlugin::createPropertyPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("CVr12CommPropPage"));
    page->setWindowTitle(QStringLiteral("General"));
    return page;
}

} // namespace vr12comm

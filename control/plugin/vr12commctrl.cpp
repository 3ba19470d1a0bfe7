#include "vr12commctrl.h"

#include "linkpictures.h"

#include <QMessageBox>
#include <QPainter>

namespace vr12comm {

namespace {
const QString kDefaultLogName = QStringLiteral("reg.txt");
}

CVr12CommCtrl::CVr12CommCtrl(QWidget* parent) : QWidget(parent) {
    connect(&m_link, &Vr12Link::rxMessage, this, &CVr12CommCtrl::RxMessage);
    connect(&m_link, &Vr12Link::errMessage, this, &CVr12CommCtrl::ErrMessage);
    connect(&m_link, &Vr12Link::linkStateChanged, this, [this] { update(); });
    connect(&m_link, &Vr12Link::stateModified, this, [this] { m_modified = true; });
}

// The link's destructor stops a receiver the container forgot to Destroy.
CVr12CommCtrl::~CVr12CommCtrl() = default;

void CVr12CommCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), linkPicture(m_link.linkState()));
}

QVariantMap CVr12CommCtrl::saveProperties() const {
    return {{QStringLiteral("Version"), QStringLiteral("1.0")},
            {QStringLiteral("AsciiFileName"), m_link.asciiFileName()},
            {QStringLiteral("LastReg"), QString::fromLatin1(m_link.lastReg())}};
}

void CVr12CommCtrl::loadProperties(const QVariantMap& properties) {
    m_link.restoreAsciiFileName(
        properties.value(QStringLiteral("AsciiFileName"), kDefaultLogName).toString());
    m_link.setLastReg(properties.value(QStringLiteral("LastReg")).toString().toLatin1());
    m_modified = false;
}

void CVr12CommCtrl::resetProperties() {
    loadProperties({});
}

void CVr12CommCtrl::showAboutBox() {
    auto* box =
        new QMessageBox(QMessageBox::Information, QStringLiteral("About Vr12Comm Control"),
                        QStringLiteral("Vr12Comm Control\nVersion 3.0.1.0"), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace vr12comm

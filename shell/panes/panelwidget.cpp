#include "panelwidget.h"

#include "panetext.h"
#include "tarvexdoc.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
const char* const kRelayTimes[] = {"0.5", "1", "2", "4", "8", "16", "32", "64"};

QString relayText(int index) {
    return index >= 0 && index < 8 ? QString::fromLatin1(kRelayTimes[index]) : QString();
}
} // namespace

CPanelWidget::CPanelWidget(QWidget* parent) : QWidget(parent), m_label(new QLabel(this)) {
    setObjectName(QStringLiteral("CPanelWidget"));
    setAutoFillBackground(true);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
}

CPanelWidget::~CPanelWidget() {
    // A window closing with the frame must not leave the workspace pointing at it.
    if (CTarvexDoc* doc = CTarvexDoc::Instance())
        doc->PanelGone(this);
}

void CPanelWidget::Bind(int id, const std::string& name, int code, int comPort, int relay1Time,
                        int relay2Time, const std::string& master, const std::string& masterName,
                        const std::string& firmware) {
    CStoredPanel::Bind(id, name, code, comPort, relay1Time, relay2Time, master, masterName,
                       firmware);
    const QStringList lines = {
        QStringLiteral("Name: %1").arg(PaneText::toUnicode(name)),
        QStringLiteral("ID: %1").arg(id),
        QStringLiteral("Code: %1").arg(code),
        QStringLiteral("COM Port: %1").arg(comPort),
        QStringLiteral("Relay 1: %1").arg(relayText(relay1Time)),
        QStringLiteral("Relay 2: %1").arg(relayText(relay2Time)),
        QStringLiteral("Master: %1").arg(PaneText::ascii(master)),
        QStringLiteral("Employee: %1").arg(PaneText::toUnicode(masterName)),
        QStringLiteral("Firmware: %1").arg(PaneText::toUnicode(firmware)),
    };
    m_label->setText(lines.join(QLatin1Char('\n')));
}

QString CPanelWidget::shownText() const {
    return m_label->text();
}

void CPanelWidget::DestroyWindow() {
    delete this;
}

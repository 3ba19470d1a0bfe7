#include "panelwidget.h"

#include "panetext.h"
#include "termrecord.h"

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

void CPanelWidget::Bind(int comPort, const CTermRecord& record) {
    CStoredPanel::Bind(comPort, record);
    const QStringList lines = {
        QStringLiteral("Name: %1").arg(PaneText::toUnicode(record.Name)),
        QStringLiteral("ID: %1").arg(record.ID),
        QStringLiteral("Code: %1").arg(record.Code),
        QStringLiteral("COM Port: %1").arg(comPort),
        QStringLiteral("Relay 1: %1").arg(relayText(record.Relay1Time)),
        QStringLiteral("Relay 2: %1").arg(relayText(record.Relay2Time)),
        QStringLiteral("Master: %1").arg(PaneText::ascii(record.Master)),
        QStringLiteral("Employee: %1").arg(PaneText::toUnicode(record.MasterName)),
        QStringLiteral("Firmware: %1").arg(PaneText::toUnicode(record.Firmware)),
    };
    m_label->setText(lines.join(QLatin1Char('\n')));
}

QString CPanelWidget::shownText() const {
    return m_label->text();
}

void CPanelWidget::DestroyWindow() {
    delete this;
}

#include "mediumreaddlg.h"

#include "catalogue.h"
#include "presentedmedia.h"
#include "resourceids.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace res;

namespace {
QString itemText(int item) {
    return CCatalogue::instance().dialogText(IDD_READMEDIUM, item);
}
} // namespace

CMediumReadDlg::CMediumReadDlg(CPresentedMedia& media, std::chrono::milliseconds timeout,
                               QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CMediumReadDlg"));
    setWindowTitle(itemText(0));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(itemText(IDC_READMEDIUM_PROMPT), this);
    prompt->setObjectName(QStringLiteral("item%1").arg(IDC_READMEDIUM_PROMPT));
    layout->addWidget(prompt);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel = buttons->addButton(itemText(IDCANCEL), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("item%1").arg(IDCANCEL));
    // The prompt is what the dialog is about; Cancel is the one thing to press.
    cancel->setAccessibleDescription(prompt->text());
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMediumReadDlg::reject);
    layout->addWidget(buttons);

    connect(&media, &CPresentedMedia::presented, this, [this](const PresentedMedium& medium) {
        if (!m_mediaId.isEmpty())
            return;
        m_mediaId = medium.mediaId;
        accept();
    });
    m_giveUp.setSingleShot(true);
    m_giveUp.setTimerType(Qt::PreciseTimer);
    m_giveUp.setInterval(timeout);
    connect(&m_giveUp, &QTimer::timeout, this, &CMediumReadDlg::reject);
}

void CMediumReadDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_giveUp.start();
}

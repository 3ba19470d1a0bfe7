#include "progressdlg.h"

#include "catalogue.h"
#include "resourceids.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

using namespace res;

namespace {
// How long ShowNow waits for the window system to map the window.
constexpr int kExposeWaitMs = 500;
} // namespace

CProgressDlg::CProgressDlg(QWidget* mainWindow, int statusTextId, bool pleaseWait)
    : QDialog(nullptr), m_main(mainWindow), m_pleaseWait(pleaseWait) {
    // A window of its own rather than a child of the main window, which it disables.
    setObjectName(QStringLiteral("CProgressDlg"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(S(IDS_TRANSFERRING));

    auto* layout = new QVBoxLayout(this);
    m_status = new QLabel(S(statusTextId), this);
    m_status->setObjectName(QStringLiteral("item%1").arg(IDC_PROGRESS_STATUS));
    m_status->setMinimumWidth(260);
    layout->addWidget(m_status);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("item%1").arg(IDC_PROGRESS_BAR));
    layout->addWidget(m_bar);
    m_cancel = new QPushButton(CCatalogue::instance().dialogText(IDD_PROGRESS, IDCANCEL), this);
    m_cancel->setObjectName(QStringLiteral("item%1").arg(IDCANCEL));
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    m_bar->setVisible(!pleaseWait);
    m_cancel->setVisible(!pleaseWait);
    m_cancel->setEnabled(!pleaseWait);

    if (m_main) {
        m_mainWasEnabled = m_main->isEnabled();
        m_main->setEnabled(false);
        if (m_main->isVisible())
            move(m_main->geometry().center() - rect().center());
    }
}

CProgressDlg::~CProgressDlg() {
    hide();
    if (m_main)
        m_main->setEnabled(m_mainWasEnabled);
}

void CProgressDlg::ShowNow() {
    adjustSize();
    if (m_main && m_main->isVisible())
        move(m_main->geometry().center() - rect().center());
    show();
    if (m_main && m_main->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(m_main->windowHandle());
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers);
        QThread::msleep(2);
    }
    repaint();
}

void CProgressDlg::SetStatusText(const QString& text) {
    m_status->setText(text);
}

void CProgressDlg::reject() {
    if (!m_pleaseWait)
        QDialog::reject();
}

void CProgressDlg::closeEvent(QCloseEvent* event) {
    if (m_pleaseWait)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void CProgressDlg::paintEvent(QPaintEvent* event) {
    ++m_paints;
    QDialog::paintEvent(event);
}

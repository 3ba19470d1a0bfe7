#include "importprogressdlg.h"

#include "catalogue.h"
#include "resourceids.h"
#include "textformat.h"
#include "wizardparts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace res;

CImportProgressDlg::CImportProgressDlg(QWidget* owner)
    : QFrame(owner, Qt::Dialog | Qt::FramelessWindowHint), m_owner(owner) {
    setObjectName(QStringLiteral("dialog%1").arg(IDD_IMPORT_PROGRESS));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setWindowModality(Qt::ApplicationModal);
    setAccessibleName(S(IDS_IMPORTING));
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(S(IDS_IMPORTING), this);
    m_text->setAlignment(Qt::AlignCenter);
    importwizard::setItem(m_text, IDC_IMPORT_PROGRESS_TEXT);
    layout->addWidget(m_text);
    m_cancel =
        new QPushButton(CCatalogue::instance().dialogText(IDD_IMPORT_PROGRESS, IDCANCEL), this);
    importwizard::setItem(m_cancel, IDCANCEL);
    m_cancel->setAutoDefault(false);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
    setFixedSize(260, 90);
    m_started.start();
}

QString CImportProgressDlg::text() const {
    return m_text->text();
}

void CImportProgressDlg::step(int processed, int total) {
    if (!isVisible()) {
        if (m_started.elapsed() < kShowAfterMs)
            return;
        const QRect area = m_owner ? m_owner->frameGeometry()
                                   : QGuiApplication::primaryScreen()->availableGeometry();
        move(area.center() - rect().center());
        show();
        activateWindow();
        m_cancel->setFocus();
    } else if (processed != total && m_refreshed.isValid() && m_refreshed.elapsed() < kRefreshMs) {
        return;
    }
    m_text->setText(FormatText(
        u"%s: %d/%d", {S(IDS_IMPORTING), QString::number(processed), QString::number(total)}));
    repaint();
    m_refreshed.start();
    // Cancel, paints and timers; the modality keeps input from every other window. Socket
    // notifiers wait: they carry the requests that could close the workspace under the import
    // (a second start's hand-over, the termination signals).
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
}

void CImportProgressDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        m_cancelled = true;
        return;
    }
    QFrame::keyPressEvent(event);
}

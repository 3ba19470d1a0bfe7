#include "importprogressdlg.h"

#include "catalogue.h"
#include "resourceids.h"
#include "textformat.h"
#include "wizardparts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

using namespace res;

CImportProgressDlg::CImportProgressDlg(QWidget* owner)
    : QFrame(owner, Qt::Dialog | Qt::FramelessWindowHint), m_owner(owner) {
    setObjectName(QStringLiteral("dialog%1").arg(IDD_IMPORT_PROGRESS));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(S(IDS_IMPORTING), this);
    m_text->setAlignment(Qt::AlignCenter);
    importwizard::setItem(m_text, IDC_IMPORT_PROGRESS_TEXT);
    layout->addWidget(m_text);
    setFixedSize(260, 60);
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
    } else if (processed != total && m_refreshed.isValid() && m_refreshed.elapsed() < kRefreshMs) {
        return;
    }
    m_text->setText(FormatText(
        u"%s: %d/%d", {S(IDS_IMPORTING), QString::number(processed), QString::number(total)}));
    repaint();
    m_refreshed.start();
}

#include "photoframe.h"

#include "appsettings.h"
#include "catalogue.h"
#include "commandmanager.h"
#include "photoview.h"
#include "resourceids.h"
#include "windowplacementio.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>

using namespace res;

namespace {
constexpr auto kWindow = CStoredWindowState::Window::Photo;
} // namespace

CPhotoFrame::CPhotoFrame(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("CPhotoFrame"));
    setWindowTitle(S(IDR_MENU_PHOTO));
    m_commands = new CCommandManager(this);
    m_commands->setFrameTarget(this);
    resize(320, 400);
}

CPhotoFrame::~CPhotoFrame() {
    SaveWindowState();
}

bool CPhotoFrame::Create() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    // A language module without this menu leaves the window without it; the window still works.
    m_commands->fillMenuBar(bar, IDR_MENU_PHOTO);

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar"));
    status->addWidget(new QLabel(status), 1);

    m_view = new CPhotoView(this);
    setCentralWidget(m_view);

    const CStoredWindowState stored = CStoredWindowState::read(*CAppSettings::openStore(), kWindow);
    if (!stored.bars.isEmpty())
        restoreState(stored.bars);
    if (stored.statusBar)
        status->setVisible(*stored.statusBar);
    m_commands->updateAll();
    return true;
}

void CPhotoFrame::setDatabase(std::function<CADODataBase*()> database) {
    if (m_view)
        m_view->setDatabase(std::move(database));
}

void CPhotoFrame::SetPhoto(const QString& mediaId, const QString& caption) {
    if (m_view)
        m_view->SetPhoto(mediaId, caption);
}

void CPhotoFrame::OnPhotoDatabaseReopened() {
    if (m_view)
        m_view->Requery();
}

void CPhotoFrame::setVisible(bool visible) {
    if (visible && !isVisible() && m_firstShow) {
        m_firstShow = false;
        if (const auto placement = CWindowPlacement::fromBytes(
                CStoredWindowState::read(*CAppSettings::openStore(), kWindow).placement)) {
            showWithPlacement(*this, *placement);
            return;
        }
    }
    QMainWindow::setVisible(visible);
}

void CPhotoFrame::SaveWindowState() {
    // Never shown in this run: the stored place stays for the next.
    CStoredWindowState::write(
        *CAppSettings::openStore(), kWindow, saveState(), statusBar()->isVisibleTo(this),
        m_firstShow ? std::nullopt : std::optional<QByteArray>(windowPlacementBytes(*this)));
}

void CPhotoFrame::hideByUser() {
    hide();
    CAppSettings::instance().ShowPhoto = false;
}

bool CPhotoFrame::OnCommand(int id) {
    if (id != ID_PHOTO_CLOSE)
        return false;
    hideByUser();
    return true;
}

bool CPhotoFrame::OnUpdateCommand(int id, CCmdUI&) {
    return id == ID_PHOTO_CLOSE;
}

void CPhotoFrame::closeEvent(QCloseEvent* event) {
    event->ignore();
    hideByUser();
}

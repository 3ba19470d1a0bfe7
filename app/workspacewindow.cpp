#include "workspacewindow.h"

#include "appsettings.h"
#include "apptrace.h"
#include "catalogue.h"
#include "connectiondlg.h"
#include "controlleroperations.h"
#include "documentflow.h"
#include "editcommands.h"
#include "empview.h"
#include "historycommands.h"
#include "importcommands.h"
#include "languagescommand.h"
#include "mainframe.h"
#include "mainpanes.h"
#include "photoframe.h"
#include "presentedmedia.h"
#include "regview.h"
#include "resourceids.h"
#include "shellregistration.h"
#include "tarvexdoc.h"
#include "termformview.h"
#include "userprompts.h"

#include <QCoreApplication>

#include <set>

using namespace res;

namespace {
// Document string fields used for the shell registration.
constexpr int kExtensionField = 4;
constexpr int kTypeNameField = 6;
} // namespace

CWorkspaceWindow::CWorkspaceWindow(Context context) : m_context(std::move(context)) {}

CWorkspaceWindow::~CWorkspaceWindow() {
    DestroyMainWindow();
}

bool CWorkspaceWindow::Create() {
    IUserPrompts& prompts = m_context.prompts;
    m_doc = std::make_unique<CTarvexDoc>();
    m_flow = std::make_unique<CDocumentFlow>(*m_doc, m_context.recent, prompts);
    m_importCommands = std::make_unique<CImportCommands>(CImportCommands::Context{
        &prompts, [this] { return m_doc.get(); }, [this]() -> QWidget* { return m_frame.get(); },
        m_context.saveSettings});
    m_importCommands->setDataLinkPrompt([](QWidget* owner) -> std::unique_ptr<CDataLinkPrompt> {
        return std::make_unique<CConnectionDlg>(owner);
    });
    m_frame = std::make_unique<CMainFrame>();
    m_frame->setPanelFactory(
        [](int, QWidget* parent) -> QWidget* { return new CTermFormView(parent); });
    m_context.dialogPrompts.setOwner(m_frame.get());
    // The lists come and go with the main window's panes.
    const WorkspaceSelectionSource lists = [this] {
        CMainPanes* panes = m_frame ? m_frame->panes() : nullptr;
        return panes ? panes->selection() : WorkspaceSelection{};
    };
    m_edit = std::make_unique<CEditCommands>(*m_doc, prompts, lists, m_frame.get());
    m_edit->setEnrolment(&presentedMedia(), [this](const std::vector<std::string>& mediaIds) {
        CMainPanes* panes = m_frame ? m_frame->panes() : nullptr;
        if (!panes)
            return;
        CEmpView* employees = panes->empView();
        const std::set<std::string> wanted(mediaIds.begin(), mediaIds.end());
        QList<int> rows;
        for (int row = 0; row < employees->rowCount(); ++row)
            if (wanted.count(employees->key(row)))
                rows << row;
        employees->setSelectedRows(rows);
    });
    CCommandManager& commands = m_frame->commands();
    commands.setDocumentTarget(m_flow.get());
    commands.addWorkspaceTarget(&m_context.photoCommands);
    commands.addWorkspaceTarget(m_edit.get());
    m_languagesCommand = std::make_unique<CLanguagesCommand>(
        m_context.languages, prompts, [this] { return static_cast<QWidget*>(m_frame.get()); });
    commands.addWorkspaceTarget(m_languagesCommand.get());
    commands.addWorkspaceTarget(m_importCommands.get());
    m_operations = std::make_unique<CControllerOperations>(m_frame.get(), *m_doc, prompts, lists);
    commands.addWorkspaceTarget(m_operations.get());
    m_history = std::make_unique<CHistoryCommands>(
        CHistoryCommands::Context{{[] { return CAppSettings::instance().RegFilePath; },
                                   [] { return CAppSettings::instance().CodePage; }, m_doc.get()},
                                  &prompts == &m_context.dialogPrompts ? nullptr : &prompts,
                                  [this](const QString& mediaId) { showEmployee(mediaId); },
                                  [this](const QString& mediaId, QWidget* window) {
                                      m_edit->AddUnknownMedium(mediaId, window);
                                  }});
    commands.addWorkspaceTarget(m_history.get());
    commands.setApplicationTarget(&m_context.application);
    if (!m_frame->Create())
        return false;
    if (m_frame->workspaceHost())
        m_doc->SetHost(m_frame->workspaceHost());
    // A registration picked in the list shows its person while the photo window is up.
    if (CMainPanes* panes = m_frame->panes()) {
        panes->regView()->setPhotoGate([] {
            const CAppSettings& s = CAppSettings::instance();
            return s.UsePhoto && s.ShowPhoto;
        });
        QObject::connect(panes->regView(), &CRegView::photoRequested, &m_context.photo,
                         &CPhotoFrame::SetPhoto);
    }
    QObject::connect(m_flow.get(), &CDocumentFlow::titleChanged, m_frame.get(),
                     [this](const QString& title) {
                         m_frame->setWindowTitle(title + QStringLiteral(" - ") + S(IDS_APP_TITLE));
                     });
    // Names and controllers in the history follow the workspace.
    QObject::connect(m_doc.get(), &CTarvexDoc::modifiedChanged, m_frame.get(), [this] {
        if (m_history)
            m_history->workspaceChanged();
    });
    QObject::connect(m_flow.get(), &CDocumentFlow::titleChanged, m_frame.get(), [this] {
        if (m_history)
            m_history->workspaceChanged();
    });
    QObject::connect(m_flow.get(), &CDocumentFlow::recentFilesChanged, m_frame.get(),
                     &CMainFrame::setRecentFiles);
    m_frame->setRecentFiles(m_context.recent.files());
    const CCatalogue& cat = CCatalogue::instance();
    CShellRegistration::registerFileType(QCoreApplication::applicationFilePath(),
                                         cat.documentString(kExtensionField),
                                         cat.documentString(kTypeNameField), S(IDS_APP_TITLE));
    return true;
}

void CWorkspaceWindow::DestroyMainWindow() {
    // The panels close their ports while their host still exists; the window follows.
    if (m_doc)
        m_doc->ClearWorkspace();
    if (m_frame) {
        m_frame->setExiting(true);
        m_frame->SaveWindowState();
        m_context.trace.step(QStringLiteral("DestroyMainWindow"));
        m_context.dialogPrompts.setOwner(nullptr);
        CCommandManager& commands = m_frame->commands();
        commands.removeWorkspaceTarget(&m_context.photoCommands);
        commands.removeWorkspaceTarget(m_edit.get());
        commands.removeWorkspaceTarget(m_languagesCommand.get());
        commands.removeWorkspaceTarget(m_importCommands.get());
        commands.removeWorkspaceTarget(m_operations.get());
        commands.removeWorkspaceTarget(m_history.get());
        m_history.reset();
        m_frame.reset();
    }
    if (m_doc)
        m_doc->SetHost(nullptr);
}

void CWorkspaceWindow::showEmployee(const QString& mediaId) {
    CEmpView* list = m_frame && m_frame->panes() ? m_frame->panes()->empView() : nullptr;
    if (!list)
        return;
    const std::string key = mediaId.toStdString();
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->key(row) == key) {
            list->setSelectedRows({row});
            list->scrollTo(list->reportModel()->index(row, 0));
            break;
        }
    }
    m_frame->ActivateFrame();
    m_frame->raise();
    m_frame->activateWindow();
    list->setFocus();
}

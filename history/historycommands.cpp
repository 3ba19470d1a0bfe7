#include "historycommands.h"

#include "catalogue.h"
#include "resourceids.h"

using namespace res;

CHistoryCommands::CHistoryCommands(Context context) : m_context(std::move(context)) {}

CHistoryCommands::~CHistoryCommands() = default;

CHistoryWindow* CHistoryCommands::open() {
    if (!m_window) {
        m_window = std::make_unique<CHistoryWindow>(m_context.window);
        m_window->setPrompts(m_context.prompts);
        if (m_context.showEmployee) {
            m_window->addRowAction(
                {S(IDS_HISTORY_SHOW_EMPLOYEE),
                 [](const HistoryRowContext& row) { return row.employee; },
                 [this](const HistoryRowContext& row) { m_context.showEmployee(row.mediaId); }});
        }
        if (m_context.addEmployee) {
            m_window->addRowAction({S(IDS_HISTORY_ADD_EMPLOYEE),
                                    [](const HistoryRowContext& row) { return row.unknown; },
                                    [this](const HistoryRowContext& row) {
                                        m_context.addEmployee(row.mediaId, m_window.get());
                                        // The new employee's name joins the rows.
                                        m_window->workspaceChanged();
                                    }});
        }
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window.get();
}

void CHistoryCommands::workspaceChanged() {
    if (m_window && m_window->isVisible())
        m_window->workspaceChanged();
}

bool CHistoryCommands::OnCommand(int id) {
    if (id != ID_VIEW_HISTORY)
        return false;
    open();
    return true;
}

bool CHistoryCommands::OnUpdateCommand(int id, CCmdUI&) {
    return id == ID_VIEW_HISTORY;
}

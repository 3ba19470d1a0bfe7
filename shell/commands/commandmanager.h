#pragma once

#include "cmdui.h"
#include "commandtarget.h"
#include "resourcetypes.h"

#include <QObject>
#include <QPointer>

#include <map>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QTimer;
class QWidget;

// Owns one QAction per command id (the id kept as the action's data), built from the
// resource catalogue, and routes commands and update requests: the pane holding the focus
// in the owner window, then the workspace, the main window and the application.
class CCommandManager : public QObject {
    Q_OBJECT
public:
    // owner: the main window; its focus widget decides the first target.
    explicit CCommandManager(QWidget* owner);
    ~CCommandManager() override;

    QAction* action(int id) const;
    // Every command id that has an action, ascending.
    std::vector<int> commandIds() const;

    void setDocumentTarget(ICommandTarget* target) { m_document = target; }
    // Further workspace-level targets (controller operations, editing), asked after the
    // document target in the order they were added.
    void addWorkspaceTarget(ICommandTarget* target);
    void removeWorkspaceTarget(ICommandTarget* target);
    void setFrameTarget(ICommandTarget* target) { m_frame = target; }
    void setApplicationTarget(ICommandTarget* target) { m_application = target; }
    ICommandTarget* documentTarget() const { return m_document; }

    // The targets asked, in order; the focused pane first when there is one.
    std::vector<ICommandTarget*> route() const;

    // Runs the command through the route if its update handler enables it. Returns true when
    // a target carried it out.
    bool execute(int id);
    // Asks the route for the command's state; disabled when no target handles it.
    CCmdUI query(int id) const;
    // The update pass: every action, and every menu-specific copy of one, takes its state.
    void updateAll();
    // Runs the update pass while the program idles (interval in milliseconds, 0 stops it).
    void setIdleInterval(int ms);

    // Menus from menu resources. A popup of a resource becomes a QMenu; items whose text
    // differs from the command's own text get their own action carrying the same id.
    QMenu* createPopup(int menuId, int popupIndex, QWidget* parent);
    void fillMenuBar(QMenuBar* bar, int menuId);
    void fillToolBar(QToolBar* bar, int toolBarId);

    // Shows the context menu (popup 0 of menuId) at a global position and discards it.
    // Returns the id chosen, 0 when none.
    int trackPopupMenu(int menuId, const QPoint& globalPos, QWidget* owner);

signals:
    // After a command was carried out.
    void commandExecuted(int id);

private:
    void buildActions();
    QAction* makeAction(int id, const QString& text, QObject* parent);
    void fillMenu(QMenu* menu, const CMenuItem& popup);
    void applyState(QAction* a, const CCmdUI& ui) const;

    QWidget* m_owner;
    std::map<int, QAction*> m_actions;
    std::multimap<int, QPointer<QAction>> m_copies;
    ICommandTarget* m_document = nullptr;
    std::vector<ICommandTarget*> m_workspaceTargets;
    ICommandTarget* m_frame = nullptr;
    ICommandTarget* m_application = nullptr;
    QTimer* m_idle = nullptr;
};

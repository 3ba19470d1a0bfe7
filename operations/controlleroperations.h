#pragma once

#include "commandtarget.h"
#include "formoperations.h"
#include "listselection.h"

#include <QPointer>
#include <QWidget>

class CTarvexDoc;
class CTermFormView;
class IUserPrompts;

// The commands that talk to the controller whose form the controller pane shows: firmware,
// master, relay parameters, the lock and the ID table. Each runs under the wait cursor and
// shows its outcome in the form. The ID table commands show the please-wait window and keep
// the program painting and taking the other controllers' registrations between exchanges.
class CControllerOperations : public ICommandTarget {
public:
    // mainWindow: disabled while a please-wait window exists. doc: the workspace whose shown
    // controller the commands talk to. prompts: where a refusal is told. lists: the employees
    // to write and the ID-table rows to remove.
    CControllerOperations(QWidget* mainWindow, CTarvexDoc& doc, IUserPrompts& prompts,
                          WorkspaceSelectionSource lists);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    // An ID table command is running (its exchanges let events through).
    bool busy() const { return m_busy; }

private:
    CTermFormView* currentForm() const;
    WorkspaceSelection lists() const;
    void Firmware(CTermFormView* form);
    void ReadMaster(CTermFormView* form);
    void WriteMaster(CTermFormView* form);
    void ReadParams(CTermFormView* form);
    void WriteParams(CTermFormView* form);
    // False when the form went away while events were let through.
    bool ReadIdTable(CTermFormView* form);
    void WriteIdTable(CTermFormView* form);
    void RemoveFromIdTable(CTermFormView* form);
    void ClearIdTable(CTermFormView* form);

    QPointer<QWidget> m_main;
    CTarvexDoc& m_doc;
    IUserPrompts& m_prompts;
    WorkspaceSelectionSource m_lists;
    bool m_busy = false;
};

#pragma once

#include "commandtarget.h"
#include "formoperations.h"

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
    // mainWindow: disabled while a please-wait window exists. prompts: where a refusal is told.
    CControllerOperations(QWidget* mainWindow, IUserPrompts& prompts);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    // An ID table command is running (its exchanges let events through).
    bool busy() const { return m_busy; }

private:
    CTermFormView* currentForm() const;
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
    IUserPrompts& m_prompts;
    bool m_busy = false;
};

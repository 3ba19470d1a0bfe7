#pragma once

#include "commandtarget.h"
#include "formoperations.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class CTarvexDoc;
class CTermFormView;

// The commands that talk to the controller whose form the controller pane shows: firmware,
// master, relay parameters, the lock and the ID table. Each runs under the wait cursor and
// shows its outcome in the form. The ID table commands show the please-wait window and keep
// the program painting and taking the other controllers' registrations between exchanges.
class CControllerOperations : public ICommandTarget {
public:
    using StopMessage = std::function<void(const QString&)>;

    // mainWindow: disabled while a please-wait window exists. stop: a message with a stop icon.
    CControllerOperations(QWidget* mainWindow, StopMessage stop);

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
    StopMessage m_stop;
    bool m_busy = false;
};

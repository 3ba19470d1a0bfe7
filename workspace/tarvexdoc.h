#pragma once

#include "emprecord.h"
#include "termrecord.h"
#include "workspacehost.h"

#include <QObject>

#include <map>
#include <string>

class ITermPanel;

// The program's one document: employees by MediaID and controllers by COM port, both kept in
// key order (MediaIDs byte-wise). Insertion never overwrites an existing key.
class CTarvexDoc : public QObject {
    Q_OBJECT
public:
    using EmployeeMap = std::map<std::string, CEmpRecord>;
    using ControllerMap = std::map<int, CTermRecord>;

    // The newest document becomes the global one (Instance()).
    explicit CTarvexDoc(IWorkspaceHost* host = nullptr, QObject* parent = nullptr);
    ~CTarvexDoc() override;
    CTarvexDoc(const CTarvexDoc&) = delete;
    CTarvexDoc& operator=(const CTarvexDoc&) = delete;

    // The global reference the dialogs and list views reach the workspace through.
    static CTarvexDoc* Instance();

    // Set the host before any controller enters the workspace: panels created without one are
    // owned by the document.
    void SetHost(IWorkspaceHost* host) { m_host = host; }
    IWorkspaceHost* Host() const { return m_host; }

    const EmployeeMap& Employees() const { return m_employees; }
    const ControllerMap& Controllers() const { return m_controllers; }

    CEmpRecord* FindEmployee(const std::string& mediaId);
    const CEmpRecord* FindEmployee(const std::string& mediaId) const;
    CTermRecord* FindController(int comPort);
    const CTermRecord* FindController(int comPort) const;

    // False, and nothing changed, when the key is already present. They neither mark the
    // document modified nor refill lists: the commands do that once per change.
    bool InsertEmployee(const std::string& mediaId, CEmpRecord record);
    bool InsertController(int comPort, CTermRecord record);
    bool RemoveEmployee(const std::string& mediaId);
    // Destroys the controller's panel before removing it.
    bool RemoveController(int comPort);

    // Replaces the whole content with freshly read maps (the panels of the old content must be
    // gone: call ClearWorkspace first). Creates no panels.
    void AdoptContent(EmployeeMap&& employees, ControllerMap&& controllers);

    // Empties the workspace: shows the empty form, destroys every panel, refills the lists.
    void ClearWorkspace();

    // Creates and binds the controller's panel from its record (replacing a live one).
    void CreatePanel(int comPort);
    // CreatePanel for every controller, in COM port order.
    void CreateAllPanels();
    // Destroys the controller's panel window (and so the panel) and forgets the reference.
    void DestroyPanel(int comPort);

    // Shows the panel (nullptr: the empty form) in the controller pane; returns the one shown
    // before.
    ITermPanel* ShowInControllerPane(ITermPanel* panel);
    ITermPanel* PanelInControllerPane() const;

    void FillList(WorkspaceList list);
    void FillAllLists();

    void SetModifiedFlag(bool modified = true);
    bool IsModified() const { return m_modified; }

signals:
    void modifiedChanged(bool modified);

private:
    friend class ITermPanel;
    // A panel this document created went away without DestroyPanel (its window closing with
    // the frame): forget it. Only the panel itself reports this.
    void PanelGone(ITermPanel* panel);

    IWorkspaceHost* m_host = nullptr;
    EmployeeMap m_employees;
    ControllerMap m_controllers;
    ITermPanel* m_shownPanel = nullptr; // without a host
    bool m_modified = false;
};

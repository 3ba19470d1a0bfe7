#pragma once

#include "commandtarget.h"
#include "listselection.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class CEnrolWindow;
class CPresentedMedia;
class CReportView;
class CTarvexDoc;
class IUserPrompts;
class QWidget;

// Adding, editing and deleting employees and controllers through their dialogs, the selections
// of the employee lists by a controller's ID table, and copying a controller's unknown media to
// the employees. Works on the rows of the three lists of the main window, as `lists` gives them.
class CEditCommands : public QObject, public ICommandTarget {
    Q_OBJECT
public:
    // dialogParent: the window the dialogs open over.
    CEditCommands(CTarvexDoc& doc, IUserPrompts& prompts, WorkspaceSelectionSource lists,
                  QWidget* dialogParent = nullptr, QObject* parent = nullptr);

    // Enrolment and "Read from a reader" hear of presented media here; `selectEmployees` selects
    // employees by stored MediaID in the employees list. Without media neither is offered.
    void setEnrolment(CPresentedMedia* media,
                      std::function<void(const std::vector<std::string>&)> selectEmployees);
    // The enrolment window while it is open.
    CEnrolWindow* enrolWindow() const;

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    void OnAddEmployee();
    void OnEditEmployee();
    void OnDeleteEmployees();
    void OnSelectAllEmployees();
    // inController: select the employees in the current controller's ID table, else the others.
    void OnSelectEmployees(bool inController);
    void OnSelectNotInDatabase();
    void OnCopyToDatabase();
    void OnEnrol();
    // The selected registration's unknown medium, into the Employee dialog.
    void OnAddRegistrationAsEmployee();
    // The same for a medium picked elsewhere (the history), with the dialog over `window`;
    // nothing for a MediaID an employee has.
    void AddUnknownMedium(const QString& mediaId, QWidget* window);
    void OnAddController();
    void OnEditController();
    void OnDeleteController();

private:
    // The controller the controller commands act on: the one whose panel the controller pane
    // shows, else the one selected in the controllers list.
    int currentComPort() const;
    WorkspaceSelection lists() const;
    void warnUnmapped(const QString& warning);
    // The MediaID of the one selected registration when no employee has it, else empty.
    QString unknownRegistrationMedium() const;
    // The Employee dialog in add mode, with the reader's button when media are heard.
    void addEmployee(const QString& mediaId, QWidget* dialogParent = nullptr);

    CTarvexDoc& m_doc;
    IUserPrompts& m_prompts;
    WorkspaceSelectionSource m_lists;
    QPointer<QWidget> m_dialogParent;
    CPresentedMedia* m_media = nullptr;
    std::function<void(const std::vector<std::string>&)> m_selectEmployees;
    QPointer<CEnrolWindow> m_enrolWindow;
};

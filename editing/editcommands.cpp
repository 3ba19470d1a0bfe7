#include "editcommands.h"

#include "catalogue.h"
#include "cmdui.h"
#include "codepage.h"
#include "empdlg.h"
#include "empview.h"
#include "enrolwindow.h"
#include "panetext.h"
#include "regview.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "termdlg.h"
#include "termempview.h"
#include "termview.h"
#include "unknownmedium.h"
#include "userprompts.h"
#include "workspaceedits.h"

#include <QLineEdit>

#include <set>

using namespace res;

namespace {
int selectedCount(const IListSelection* list) {
    return list ? list->selectedCount() : 0;
}

int comPortOfRow(const IListSelection& controllers, int row) {
    bool ok = false;
    const int port = row < 0 ? 0 : QByteArray::fromStdString(controllers.key(row)).toInt(&ok);
    return ok ? port : 0;
}
} // namespace

CEditCommands::CEditCommands(CTarvexDoc& doc, IUserPrompts& prompts, WorkspaceSelectionSource lists,
                             QWidget* dialogParent, QObject* parent)
    : QObject(parent), m_doc(doc), m_prompts(prompts), m_lists(std::move(lists)),
      m_dialogParent(dialogParent) {}

WorkspaceSelection CEditCommands::lists() const {
    return m_lists ? m_lists() : WorkspaceSelection{};
}

bool CEditCommands::OnUpdateCommand(int id, CCmdUI& ui) {
    const WorkspaceSelection shown = lists();
    const IListSelection* employees = shown.employees;
    const IListSelection* controllers = shown.controllers;
    const IListSelection* inController = shown.controllerEmployees;
    switch (id) {
    case ID_EMP_ADD:
    case ID_EMP_SELECTALL:
    case ID_TERM_ADD:
        ui.Enable(true);
        return true;
    case ID_EMP_EDIT:
        ui.Enable(selectedCount(employees) == 1);
        return true;
    case ID_EMP_DELETE:
        ui.Enable(selectedCount(employees) >= 1);
        return true;
    case ID_EMP_SELECTIN:
    case ID_EMP_SELECTNOTIN:
    case ID_TERM_DELETE:
        ui.Enable(selectedCount(controllers) >= 1);
        return true;
    case ID_TERM_EDIT:
        ui.Enable(selectedCount(controllers) == 1);
        return true;
    case ID_TERM_SELNOTINDB:
        ui.Enable(selectedCount(controllers) >= 1 && inController && inController->rowCount() > 0);
        return true;
    case ID_TERM_COPYTODB:
        ui.Enable(selectedCount(inController) >= 1);
        return true;
    case ID_EMP_ENROL:
        ui.Enable(m_media != nullptr);
        return true;
    case ID_REG_ADDEMPLOYEE:
        ui.Enable(!unknownRegistrationMedium().isEmpty());
        return true;
    default:
        return false;
    }
}

bool CEditCommands::OnCommand(int id) {
    switch (id) {
    case ID_EMP_ADD:
        OnAddEmployee();
        return true;
    case ID_EMP_EDIT:
        OnEditEmployee();
        return true;
    case ID_EMP_DELETE:
        OnDeleteEmployees();
        return true;
    case ID_EMP_SELECTALL:
        OnSelectAllEmployees();
        return true;
    case ID_EMP_SELECTIN:
        OnSelectEmployees(true);
        return true;
    case ID_EMP_SELECTNOTIN:
        OnSelectEmployees(false);
        return true;
    case ID_TERM_SELNOTINDB:
        OnSelectNotInDatabase();
        return true;
    case ID_TERM_COPYTODB:
        OnCopyToDatabase();
        return true;
    case ID_EMP_ENROL:
        OnEnrol();
        return true;
    case ID_REG_ADDEMPLOYEE:
        OnAddRegistrationAsEmployee();
        return true;
    case ID_TERM_ADD:
        OnAddController();
        return true;
    case ID_TERM_EDIT:
        OnEditController();
        return true;
    case ID_TERM_DELETE:
        OnDeleteController();
        return true;
    default:
        return false;
    }
}

void CEditCommands::warnUnmapped(const QString& warning) {
    if (!warning.isEmpty())
        m_prompts.warning(warning);
}

int CEditCommands::currentComPort() const {
    if (const int port = WorkspaceEdits::CurrentComPort(m_doc))
        return port;
    const IListSelection* controllers = lists().controllers;
    return controllers ? comPortOfRow(*controllers, actedOnRow(*controllers)) : 0;
}

void CEditCommands::setEnrolment(CPresentedMedia* media,
                                 std::function<void(const std::vector<std::string>&)> select) {
    m_media = media;
    m_selectEmployees = std::move(select);
}

void CEditCommands::OnAddEmployee() {
    addEmployee(QString());
}

void CEditCommands::addEmployee(const QString& mediaId, QWidget* dialogParent) {
    CEmpDlg dlg(m_prompts, dialogParent ? dialogParent : m_dialogParent.data(), &m_doc);
    dlg.SetMediumSource(m_media);
    if (!mediaId.isEmpty()) {
        dlg.SetMediaId(mediaId);
        // The MediaID is given: the names are what is left to type (once the dialog is shown).
        QMetaObject::invokeMethod(
            &dlg, [&dlg] { dlg.field(IDC_EMP_LASTNAME)->setFocus(Qt::OtherFocusReason); },
            Qt::QueuedConnection);
    }
    if (dlg.exec() != QDialog::Accepted)
        return;
    WorkspaceEdits::AddEmployee(m_doc, dlg.MediaId(), CEmpRecord{dlg.LastName(), dlg.FirstName()});
    warnUnmapped(dlg.UnmappedWarning());
}

QString CEditCommands::unknownRegistrationMedium() const {
    const IListSelection* registrations = lists().registrations;
    if (!registrations || registrations->selectedCount() != 1)
        return {};
    const std::string mediaId = registrations->key(registrations->selectedRows().first());
    if (!IsUnknownMedium(m_doc.Employees(), mediaId))
        return {};
    return QString::fromLatin1(mediaId);
}

void CEditCommands::OnAddRegistrationAsEmployee() {
    const QString mediaId = unknownRegistrationMedium();
    if (!mediaId.isEmpty())
        addEmployee(mediaId);
}

void CEditCommands::AddUnknownMedium(const QString& mediaId, QWidget* window) {
    if (IsUnknownMedium(m_doc.Employees(), mediaId.toLatin1().toStdString()))
        addEmployee(mediaId, window);
}

CEnrolWindow* CEditCommands::enrolWindow() const {
    return m_enrolWindow;
}

void CEditCommands::OnEnrol() {
    if (!m_media)
        return;
    if (!m_enrolWindow) {
        m_enrolWindow =
            new CEnrolWindow({m_doc, m_prompts, *m_media, m_selectEmployees}, m_dialogParent);
    }
    m_enrolWindow->show();
    m_enrolWindow->raise();
    m_enrolWindow->activateWindow();
}

void CEditCommands::OnEditEmployee() {
    const IListSelection* employees = lists().employees;
    const int row = employees ? actedOnRow(*employees) : -1;
    // The row's stored MediaID: its shown text may not convert back to the same bytes.
    const std::string mediaId = row >= 0 ? employees->key(row) : std::string();
    const CEmpRecord* employee = m_doc.FindEmployee(mediaId);
    if (!employee)
        return;
    CEmpDlg dlg(m_prompts, m_dialogParent, &m_doc);
    dlg.SetLastName(PaneText::toUnicode(employee->LastName));
    dlg.SetFirstName(PaneText::toUnicode(employee->FirstName));
    dlg.SetMediaId(PaneText::toUnicode(mediaId));
    dlg.SetEditing(true);
    if (dlg.exec() != QDialog::Accepted)
        return;
    WorkspaceEdits::EditEmployee(m_doc, mediaId, CEmpRecord{dlg.LastName(), dlg.FirstName()});
    warnUnmapped(dlg.UnmappedWarning());
}

void CEditCommands::OnDeleteEmployees() {
    if (!m_prompts.askOkCancel(S(IDS_ASK_DELETE_EMPLOYEES)))
        return;
    const IListSelection* employees = lists().employees;
    if (!employees)
        return;
    WorkspaceEdits::DeleteEmployees(m_doc, selectedKeys(*employees));
}

void CEditCommands::OnSelectAllEmployees() {
    IListSelection* employees = lists().employees;
    if (!employees)
        return;
    QList<int> rows;
    rows.reserve(employees->rowCount());
    for (int row = 0; row < employees->rowCount(); ++row)
        rows << row;
    employees->selectRowsAndFocus(rows);
}

void CEditCommands::OnSelectEmployees(bool inController) {
    IListSelection* employees = lists().employees;
    if (!employees)
        return;
    const CTermRecord* controller = m_doc.FindController(currentComPort());
    QList<int> rows;
    if (controller) {
        for (int row = 0; row < employees->rowCount(); ++row) {
            const bool stored = controller->IdTable.count(employees->key(row)) > 0;
            if (stored == inController)
                rows << row;
        }
    }
    employees->selectRowsAndFocus(rows);
}

void CEditCommands::OnSelectNotInDatabase() {
    IListSelection* inController = lists().controllerEmployees;
    if (!inController)
        return;
    QList<int> rows;
    for (int row = 0; row < inController->rowCount(); ++row) {
        if (!m_doc.FindEmployee(inController->key(row)))
            rows << row;
    }
    inController->selectRowsAndFocus(rows);
}

void CEditCommands::OnCopyToDatabase() {
    const IListSelection* inController = lists().controllerEmployees;
    if (!inController)
        return;
    const std::vector<std::string> ids = selectedKeys(*inController);
    // The names of the current language, as the workspace stores texts.
    CUnmappedText unmapped;
    const CCodePage& codePage = PaneText::codePage();
    const CEmpRecord names{codePage.FromUnicode(S(IDS_LAST_NAME), unmapped),
                           codePage.FromUnicode(S(IDS_FIRST_NAME), unmapped)};
    if (WorkspaceEdits::CopyToDatabase(m_doc, ids, names) > 0)
        warnUnmapped(unmapped.Warning(codePage.Name()));
}

void CEditCommands::OnAddController() {
    CTermDlg dlg(m_prompts, m_dialogParent, &m_doc);
    if (dlg.exec() != QDialog::Accepted)
        return;
    WorkspaceEdits::AddController(m_doc, dlg.ComPort(), dlg.Name(), dlg.ID(), dlg.Code());
    warnUnmapped(dlg.UnmappedWarning());
}

void CEditCommands::OnEditController() {
    const int port = currentComPort();
    const CTermRecord* record = m_doc.FindController(port);
    if (!record)
        return;
    // The panel was bound from the record and only a new panel takes new values, so the
    // record holds what the panel shows.
    CTermDlg dlg(m_prompts, m_dialogParent, &m_doc);
    dlg.SetValues(PaneText::toUnicode(record->Name), record->ID, record->Code, port);
    dlg.SetEditing(true);
    if (dlg.exec() != QDialog::Accepted)
        return;
    WorkspaceEdits::EditController(m_doc, dlg.ComPort(), dlg.Name(), dlg.ID(), dlg.Code());
    warnUnmapped(dlg.UnmappedWarning());
}

void CEditCommands::OnDeleteController() {
    if (!m_prompts.askOkCancel(S(IDS_ASK_DELETE_CONTROLLER)))
        return;
    const IListSelection* controllers = lists().controllers;
    const int port = controllers ? comPortOfRow(*controllers, actedOnRow(*controllers)) : 0;
    if (port == 0)
        return;
    WorkspaceEdits::DeleteController(m_doc, port);
}

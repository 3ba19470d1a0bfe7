#include "controlleroperations.h"

#include "cmdui.h"
#include "progressdlg.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "termformview.h"
#include "textformat.h"
#include "userprompts.h"
#include "vr12comm.h"
#include "waitcursor.h"

#include <QApplication>
#include <QElapsedTimer>

using namespace res;

namespace {

class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~BusyFlag() { m_flag = m_was; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& m_flag;
    bool m_was;
};

int selectedIn(const IListSelection* list) {
    return list ? list->selectedCount() : 0;
}

// The MediaIDs of the selected rows as the workspace stores them, for the wire.
std::vector<std::string> keysSelectedIn(const IListSelection* list) {
    return list ? selectedKeys(*list) : std::vector<std::string>();
}

FormValues valuesOf(const CTermFormView* form) {
    FormValues v;
    v.master = form->Master();
    v.masterName = form->MasterName();
    v.firmware = form->Firmware();
    v.relays = {form->Relay1Time(), form->Relay2Time()};
    return v;
}

QString statusText(const StatusChange& status) {
    switch (status.kind) {
    case StatusChange::Ok:
        return S(IDS_OK);
    case StatusChange::Code:
        return FormatString(IDS_ERROR_CODE, status.code);
    case StatusChange::Text:
        return status.text;
    case StatusChange::RelayTimesUnknown:
        return S(IDS_RELAY_TIMES_UNKNOWN);
    case StatusChange::Unchanged:
        break;
    }
    return {};
}

// Shows the values in the form: its fields are refreshed from them.
void show(CTermFormView* form, const FormValues& v) {
    form->SetMaster(v.master, v.masterName);
    form->SetFirmware(v.firmware);
    form->SetRelayTimes(v.relays.relay1, v.relays.relay2);
    if (v.status.kind != StatusChange::Unchanged)
        form->SetStatus(statusText(v.status));
}

// Between two exchanges of a long ID table command: paints, timers and the other controllers'
// registrations go on. User input waits (the main window is disabled anyway) and so do socket
// notifiers, which carry the requests that could close the workspace under the command: a
// second start's hand-over and the termination signals. False when the form went away.
bool letEventsThrough(const QPointer<CTermFormView>& form) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                    QEventLoop::ExcludeSocketNotifiers);
    return !form.isNull();
}

// Between two writes the command holds no lock, and the controller's receiver takes every
// opening for one read slice; so the writes let events through only now and then, often
// enough that the desktop never sees a window that stopped answering.
class EventGate {
public:
    EventGate(const QPointer<CTermFormView>& form, int intervalMs)
        : m_form(form), m_interval(intervalMs) {
        m_since.start();
    }
    bool operator()() {
        if (m_since.elapsed() < m_interval)
            return !m_form.isNull();
        m_since.restart();
        return letEventsThrough(m_form);
    }

private:
    QPointer<CTermFormView> m_form;
    int m_interval;
    QElapsedTimer m_since;
};

// Each pass over the events lets the controller's receiver take the line for up to one 340 ms
// read before the next write, so passes are spaced: often enough to stay well inside the 5 s
// after which desktops call a window not responding, rarely enough to keep a 62-entry write
// within a few percent of its time on the wire.
constexpr int kWriteEventIntervalMs = 3000;
} // namespace

CControllerOperations::CControllerOperations(QWidget* mainWindow, CTarvexDoc& doc,
                                             IUserPrompts& prompts, WorkspaceSelectionSource lists)
    : m_main(mainWindow), m_doc(doc), m_prompts(prompts), m_lists(std::move(lists)) {}

CTermFormView* CControllerOperations::currentForm() const {
    return dynamic_cast<CTermFormView*>(m_doc.PanelInControllerPane());
}

WorkspaceSelection CControllerOperations::lists() const {
    return m_lists ? m_lists() : WorkspaceSelection{};
}

bool CControllerOperations::OnUpdateCommand(int id, CCmdUI& ui) {
    const WorkspaceSelection shown = lists();
    const int employees = selectedIn(shown.employees);
    const int controllers = selectedIn(shown.controllers);
    switch (id) {
    case ID_TERM_FIRMWARE:
    case ID_TERM_READMASTER:
    case ID_TERM_OPENLOCK:
    case ID_TERM_READPARAMS:
    case ID_TERM_WRITEPARAMS:
    case ID_TERM_READIDTABLE:
    case ID_TERM_CLEARIDTABLE:
        ui.Enable(controllers >= 1);
        break;
    case ID_TERM_WRITEMASTER:
        ui.Enable(employees == 1 && controllers >= 1);
        break;
    case ID_TERM_WRITEIDTABLE:
        ui.Enable(employees >= 1 && controllers >= 1);
        break;
    case ID_TERM_REMOVEIDTABLE:
        ui.Enable(selectedIn(shown.controllerEmployees) >= 1);
        break;
    default:
        return false;
    }
    if (m_busy)
        ui.Enable(false);
    return true;
}

bool CControllerOperations::OnCommand(int id) {
    switch (id) {
    case ID_TERM_FIRMWARE:
    case ID_TERM_READMASTER:
    case ID_TERM_WRITEMASTER:
    case ID_TERM_OPENLOCK:
    case ID_TERM_READPARAMS:
    case ID_TERM_WRITEPARAMS:
    case ID_TERM_READIDTABLE:
    case ID_TERM_WRITEIDTABLE:
    case ID_TERM_REMOVEIDTABLE:
    case ID_TERM_CLEARIDTABLE:
        break;
    default:
        return false;
    }
    CTermFormView* form = currentForm();
    // One command at a time: a second one would cut into the first one's exchanges.
    if (!form || m_busy)
        return true;
    BusyFlag busy(m_busy);
    switch (id) {
    case ID_TERM_FIRMWARE:
        Firmware(form);
        break;
    case ID_TERM_READMASTER:
        ReadMaster(form);
        break;
    case ID_TERM_WRITEMASTER:
        WriteMaster(form);
        break;
    case ID_TERM_OPENLOCK: {
        CWaitCursor wait;
        form->Comm().OpenLock();
        break;
    }
    case ID_TERM_READPARAMS:
        ReadParams(form);
        break;
    case ID_TERM_WRITEPARAMS:
        WriteParams(form);
        break;
    case ID_TERM_READIDTABLE: {
        CWaitCursor wait;
        ReadIdTable(form);
        break;
    }
    case ID_TERM_WRITEIDTABLE:
        WriteIdTable(form);
        break;
    case ID_TERM_REMOVEIDTABLE:
        RemoveFromIdTable(form);
        break;
    case ID_TERM_CLEARIDTABLE:
        ClearIdTable(form);
        break;
    }
    return true;
}

void CControllerOperations::Firmware(CTermFormView* form) {
    CWaitCursor wait;
    IControllerLine& line = form->Comm();
    FormValues v = valuesOf(form);
    readFirmware(line, v);
    show(form, v);
}

void CControllerOperations::ReadMaster(CTermFormView* form) {
    CWaitCursor wait;
    IControllerLine& line = form->Comm();
    FormValues v = valuesOf(form);
    readMaster(line, m_doc, v);
    show(form, v);
}

void CControllerOperations::WriteMaster(CTermFormView* form) {
    const IListSelection* employees = lists().employees;
    // The command is offered for exactly one selected row; that row, not merely the one
    // holding the selection mark, is the one written.
    if (!employees || employees->selectedCount() != 1)
        return;
    const int row = actedOnRow(*employees);
    if (row < 0)
        return;
    CWaitCursor wait;
    IControllerLine& line = form->Comm();
    FormValues v = valuesOf(form);
    writeMaster(line, m_doc, employees->key(row), v);
    show(form, v);
    m_doc.SetModifiedFlag();
}

void CControllerOperations::ReadParams(CTermFormView* form) {
    CWaitCursor wait;
    IControllerLine& line = form->Comm();
    FormValues v = valuesOf(form);
    readParams(line, v);
    show(form, v);
}

void CControllerOperations::WriteParams(CTermFormView* form) {
    CWaitCursor wait;
    IControllerLine& line = form->Comm();
    FormValues v = valuesOf(form);
    writeParams(line, v);
    show(form, v);
}

bool CControllerOperations::ReadIdTable(CTermFormView* form) {
    const QPointer<CTermFormView> alive(form);
    CTarvexDoc* doc = &m_doc;
    CProgressDlg notice(m_main, IDS_READING_IDTABLE);
    notice.ShowNow();
    if (!alive)
        return false;
    IControllerLine& line = form->Comm();
    FormValues v = valuesOf(form);
    const IdTableRead read =
        readIdTableInto(line, *doc, form->ComPort(), v, [&] { return letEventsThrough(alive); });
    if (read.abandoned)
        return false;
    show(form, v);
    doc->FillList(WorkspaceList::ControllerEmployees);
    doc->SetModifiedFlag();
    return true;
}

void CControllerOperations::WriteIdTable(CTermFormView* form) {
    const std::vector<std::string> ids = keysSelectedIn(lists().employees);
    if (ids.size() > size_t(kMaxIdsPerWrite)) {
        m_prompts.stop(S(IDS_TOO_MANY_SELECTED));
        return;
    }
    CWaitCursor wait;
    const QPointer<CTermFormView> alive(form);
    CProgressDlg notice(m_main, IDS_WRITING_IDTABLE);
    notice.ShowNow();
    if (!alive)
        return;
    IControllerLine& line = form->Comm();
    EventGate gate(alive, kWriteEventIntervalMs);
    const IdTableWrite written = writeIdTable(line, ids, [&] { return gate(); });
    if (written.abandoned || !alive)
        return;
    if (written.code != 0) {
        form->SetStatus(statusText(written.status));
        return;
    }
    ReadIdTable(form);
}

void CControllerOperations::RemoveFromIdTable(CTermFormView* form) {
    CWaitCursor wait;
    CTarvexDoc* doc = &m_doc;
    const std::vector<std::string> ids = keysSelectedIn(lists().controllerEmployees);
    const QPointer<CTermFormView> alive(form);
    IdTableRemoval removed;
    {
        CProgressDlg notice(m_main, IDS_REMOVING_IDTABLE);
        notice.ShowNow();
        if (!alive)
            return;
        IControllerLine& line = form->Comm();
        EventGate gate(alive, kWriteEventIntervalMs);
        removed = eraseFromIdTable(line, *doc, form->ComPort(), ids, [&] { return gate(); });
        if (removed.abandoned || !alive)
            return;
        // Reading back from a controller that is gone would cost another time-out and empty
        // the mirror of a table it most likely still holds.
        if (!removed.controllerGone && !ReadIdTable(form))
            return;
    }
    if (removed.controllerGone) {
        form->SetStatus(FormatString(IDS_ERROR_CODE, removed.code));
        m_prompts.stop(FormatString(IDS_REMOVAL_STOPPED, removed.erased, removed.toErase));
        return;
    }
    // The table as read back is "OK"; an entry the controller would not erase says otherwise.
    if (removed.code != 0)
        form->SetStatus(FormatString(IDS_ERROR_CODE, removed.code));
    doc->SetModifiedFlag();
    doc->FillList(WorkspaceList::ControllerEmployees);
}

void CControllerOperations::ClearIdTable(CTermFormView* form) {
    CWaitCursor wait;
    IControllerLine& line = form->Comm();
    const int code = line.ClearTable();
    if (code != 0) {
        form->SetStatus(FormatString(IDS_ERROR_CODE, code));
        return;
    }
    form->SetStatus(S(IDS_OK));
    ReadIdTable(form);
}

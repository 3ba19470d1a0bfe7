#include "tarvexdoc.h"

#include "storedpanel.h"

namespace {
CTarvexDoc* g_doc = nullptr;
}

CTarvexDoc::CTarvexDoc(IWorkspaceHost* host, QObject* parent) : QObject(parent), m_host(host) {
    g_doc = this;
}

CTarvexDoc::~CTarvexDoc() {
    // Panels made without a host belong to the document; a host's windows own theirs.
    if (!m_host) {
        for (auto& [port, record] : m_controllers)
            DestroyPanel(port);
    }
    if (g_doc == this)
        g_doc = nullptr;
}

CTarvexDoc* CTarvexDoc::Instance() {
    return g_doc;
}

CEmpRecord* CTarvexDoc::FindEmployee(const std::string& mediaId) {
    auto it = m_employees.find(mediaId);
    return it == m_employees.end() ? nullptr : &it->second;
}

const CEmpRecord* CTarvexDoc::FindEmployee(const std::string& mediaId) const {
    auto it = m_employees.find(mediaId);
    return it == m_employees.end() ? nullptr : &it->second;
}

CTermRecord* CTarvexDoc::FindController(int comPort) {
    auto it = m_controllers.find(comPort);
    return it == m_controllers.end() ? nullptr : &it->second;
}

const CTermRecord* CTarvexDoc::FindController(int comPort) const {
    auto it = m_controllers.find(comPort);
    return it == m_controllers.end() ? nullptr : &it->second;
}

bool CTarvexDoc::InsertEmployee(const std::string& mediaId, CEmpRecord record) {
    return m_employees.try_emplace(mediaId, std::move(record)).second;
}

bool CTarvexDoc::InsertController(int comPort, CTermRecord record) {
    // A record arriving with a panel would be a second owner of someone else's port.
    record.Panel = nullptr;
    return m_controllers.try_emplace(comPort, std::move(record)).second;
}

bool CTarvexDoc::RemoveEmployee(const std::string& mediaId) {
    return m_employees.erase(mediaId) > 0;
}

bool CTarvexDoc::RemoveController(int comPort) {
    if (!FindController(comPort))
        return false;
    DestroyPanel(comPort);
    m_controllers.erase(comPort);
    return true;
}

void CTarvexDoc::AdoptContent(EmployeeMap&& employees, ControllerMap&& controllers) {
    for (auto& [port, record] : m_controllers)
        DestroyPanel(port);
    m_employees = std::move(employees);
    m_controllers = std::move(controllers);
    for (auto& [port, record] : m_controllers)
        record.Panel = nullptr;
}

void CTarvexDoc::ClearWorkspace() {
    m_employees.clear();
    if (!m_controllers.empty()) {
        if (PanelInControllerPane() != nullptr)
            ShowInControllerPane(nullptr);
        for (auto& [port, record] : m_controllers) {
            DestroyPanel(port);
            record.IdTable.clear();
        }
    }
    m_controllers.clear();
    FillAllLists();
}

void CTarvexDoc::CreatePanel(int comPort) {
    CTermRecord* record = FindController(comPort);
    if (!record)
        return;
    // Two live panels would fight over one serial port.
    if (record->Panel)
        DestroyPanel(comPort);
    ITermPanel* panel = m_host ? m_host->CreatePanelWindow(comPort) : new CStoredPanel;
    record->Panel = panel;
    if (!panel)
        return;
    panel->m_owner = this;
    panel->Bind(comPort, *record);
}

void CTarvexDoc::CreateAllPanels() {
    for (auto& [port, record] : m_controllers)
        CreatePanel(port);
}

void CTarvexDoc::DestroyPanel(int comPort) {
    CTermRecord* record = FindController(comPort);
    if (!record || !record->Panel)
        return;
    ITermPanel* panel = record->Panel;
    // The pane must never be left showing a destroyed window.
    if (PanelInControllerPane() == panel)
        ShowInControllerPane(nullptr);
    // Cleared before destroying, so a panel reporting its own end finds nothing to forget and
    // no record keeps a dangling reference.
    record->Panel = nullptr;
    if (panel->HasWindow())
        panel->DestroyWindow();
}

void CTarvexDoc::PanelGone(ITermPanel* panel) {
    if (!panel)
        return;
    if (m_shownPanel == panel)
        m_shownPanel = nullptr;
    for (auto& [port, record] : m_controllers) {
        if (record.Panel == panel)
            record.Panel = nullptr;
    }
}

ITermPanel* CTarvexDoc::ShowInControllerPane(ITermPanel* panel) {
    if (m_host)
        return m_host->ShowInControllerPane(panel);
    ITermPanel* old = m_shownPanel;
    m_shownPanel = panel;
    return old;
}

ITermPanel* CTarvexDoc::PanelInControllerPane() const {
    return m_host ? m_host->PanelInControllerPane() : m_shownPanel;
}

void CTarvexDoc::FillList(WorkspaceList list) {
    if (m_host)
        m_host->FillList(list);
}

void CTarvexDoc::FillAllLists() {
    FillList(WorkspaceList::Employees);
    FillList(WorkspaceList::Controllers);
    FillList(WorkspaceList::ControllerEmployees);
}

void CTarvexDoc::SetModifiedFlag(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

#pragma once

#include "scriptedprompts.h"

#include "appsettings.h"
#include "commandmanager.h"
#include "controlleroperations.h"
#include "editcommands.h"
#include "mainframe.h"
#include "mainpanes.h"
#include "regview.h"
#include "tarvexdoc.h"
#include "termformservices.h"
#include "termformview.h"
#include "termrecord.h"
#include "testworld.h"
#include "workspacefile.h"

#include <QDate>
#include <QDir>
#include <QTest>

#include <map>
#include <memory>

// The main window with its lists, controller pane and the workspace's commands, on a workspace
// of employees and controllers whose forms talk to simulated controllers: the part of the
// program the editing and controller commands work in, put together as the application object
// does, without it.
struct CommandsWorld {
    ScriptedPrompts prompts;
    std::unique_ptr<CTarvexDoc> document;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CEditCommands> edit;
    std::unique_ptr<CControllerOperations> operations;

    static QString regFolder() { return TestWorld::instance()->path(QStringLiteral("regs")); }

    // Writes a workspace of the employees and controllers (COM port -> record) and opens it.
    bool start(const QString& name, const CTarvexDoc::EmployeeMap& employees,
               const std::map<int, CTermRecord>& controllers) {
        const QString file = TestWorld::instance()->path(name + QStringLiteral(".VR-12"));
        {
            CTarvexDoc doc;
            for (const auto& [id, employee] : employees)
                doc.InsertEmployee(id, employee);
            for (const auto& [port, record] : controllers)
                doc.InsertController(port, record);
            if (!CWorkspaceFile::Save(doc, file).ok)
                return false;
        }
        return startOn(file);
    }
    bool start(const QString& name, const std::map<int, CTermRecord>& controllers) {
        return start(name, {}, controllers);
    }

    bool startOn(const QString& file) {
        QDir().mkpath(regFolder());
        CAppSettings& settings = CAppSettings::instance();
        settings.RegFilePath = regFolder();
        const QDate today = QDate::currentDate();
        settings.MonthlyFileName = CAppSettings::monthlyFileNameFor(today.year(), today.month());

        document = std::make_unique<CTarvexDoc>();
        frame = std::make_unique<CMainFrame>();
        frame->setPanelFactory(
            [](int, QWidget* parent) -> QWidget* { return new CTermFormView(parent); });
        const WorkspaceSelectionSource lists = [this] {
            CMainPanes* panes = frame ? frame->panes() : nullptr;
            return panes ? panes->selection() : WorkspaceSelection{};
        };
        edit = std::make_unique<CEditCommands>(*document, prompts, lists, frame.get());
        operations =
            std::make_unique<CControllerOperations>(frame.get(), *document, prompts, lists);
        frame->commands().addWorkspaceTarget(edit.get());
        frame->commands().addWorkspaceTarget(operations.get());
        if (!frame->Create() || !frame->workspaceHost())
            return false;
        document->SetHost(frame->workspaceHost());

        TermFormServices services;
        services.listRow = [this](const QStringList& row, int controllerId) {
            if (CMainPanes* panes = frame ? frame->panes() : nullptr)
                panes->regView()->AddRow(row.value(0), row.value(1), row.value(2), row.value(3),
                                         controllerId);
        };
        services.prompts = &prompts;
        termFormServices() = std::move(services);

        if (CWorkspaceFile::Load(file, *document).failed())
            return false;
        document->SetModifiedFlag(false);
        frame->ActivateFrame();
        return true;
    }

    ~CommandsWorld() {
        // The forms close their ports while their host still exists; the window follows.
        if (document)
            document->ClearWorkspace();
        if (frame) {
            frame->setExiting(true);
            frame->commands().removeWorkspaceTarget(edit.get());
            frame->commands().removeWorkspaceTarget(operations.get());
            frame.reset();
        }
        if (document)
            document->SetHost(nullptr);
        termFormServices() = TermFormServices();
    }

    CTermFormView* form(int comPort) const {
        const CTermRecord* record = document->FindController(comPort);
        return record ? dynamic_cast<CTermFormView*>(record->Panel) : nullptr;
    }
    CRegView* list() const { return frame->panes()->regView(); }
};

inline CTermRecord controller(const std::string& name, int id, int code) {
    CTermRecord r;
    r.Name = name;
    r.ID = id;
    r.Code = code;
    return r;
}

#pragma once

#include "../../app/scriptedprompts.h"

#include "appsettings.h"
#include "mainframe.h"
#include "mainpanes.h"
#include "regview.h"
#include "tarvexapp.h"
#include "tarvexdoc.h"
#include "termformview.h"
#include "termrecord.h"
#include "testworld.h"
#include "workspacefile.h"

#include <QDir>
#include <QSettings>
#include <QTest>

#include <functional>
#include <map>
#include <memory>

// The program started on a workspace of controllers, with its registrations folder and its
// settings in the test world.
struct IntakeWorld {
    ScriptedPrompts prompts;
    std::unique_ptr<CTarvexApp> app;
    // The program's clock when set before start.
    std::function<QDateTime()> clock;

    static QString regFolder() { return TestWorld::instance()->path(QStringLiteral("regs")); }

    static void setStored(const QString& name, const QVariant& value) {
        auto store = CAppSettings::openStore();
        store->setValue(QStringLiteral("Settings/") + name, value);
        store->sync();
    }

    // Writes a workspace of the controllers (COM port -> record) and starts the program on it.
    bool start(const QString& name, const std::map<int, CTermRecord>& controllers) {
        return start(name, {}, controllers);
    }
    // The same with employees.
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
    // The program started on a workspace file that is already there.
    bool startOn(const QString& file) {
        QDir().mkpath(regFolder());
        setStored(QStringLiteral("RegFilePath"), regFolder());
        app = std::make_unique<CTarvexApp>();
        app->setProgramFolder(TestWorld::instance()->path(QStringLiteral("program")));
        app->setArguments({file});
        app->setPrompts(&prompts);
        if (clock)
            app->setClock(clock);
        return app->InitInstance();
    }

    ~IntakeWorld() {
        if (app)
            app->ExitInstance();
    }

    CTermFormView* form(int comPort) const {
        const CTermRecord* record = app->document()->FindController(comPort);
        return record ? dynamic_cast<CTermFormView*>(record->Panel) : nullptr;
    }
    CRegView* list() const { return CRegView::Instance(); }
    QString monthlyFile() const { return CAppSettings::instance().registrationsFile(); }
};

inline CTermRecord controller(const std::string& name, int id, int code) {
    CTermRecord r;
    r.Name = name;
    r.ID = id;
    r.Code = code;
    return r;
}

#pragma once

#include "commandsworld.h"

#include "commandmanager.h"
#include "empview.h"
#include "resourceids.h"
#include "termempview.h"
#include "termview.h"
#include "vr12simulator.h"

#include <QWidget>

#include <algorithm>

// The main window on a workspace of employees and simulated controllers, driven through its
// commands and lists.
struct OperationsWorld : CommandsWorld {
    static constexpr int kCommands[] = {res::ID_TERM_FIRMWARE,      res::ID_TERM_READMASTER,
                                        res::ID_TERM_WRITEMASTER,   res::ID_TERM_OPENLOCK,
                                        res::ID_TERM_READPARAMS,    res::ID_TERM_WRITEPARAMS,
                                        res::ID_TERM_READIDTABLE,   res::ID_TERM_WRITEIDTABLE,
                                        res::ID_TERM_REMOVEIDTABLE, res::ID_TERM_CLEARIDTABLE};

    bool startWith(const QString& name, const CTarvexDoc::EmployeeMap& employees,
                   const std::map<int, CTermRecord>& controllers) {
        return start(name, employees, controllers);
    }

    CTarvexDoc* doc() const { return document.get(); }
    QWidget* mainWindow() const { return frame.get(); }
    CCommandManager& commands() const { return frame->commands(); }
    bool enabled(int id) const { return commands().query(id).enabled(); }
    bool run(int id) const { return commands().execute(id); }

    // Selects the controller's row, which shows its form in the controller pane.
    CTermFormView* selectController(int comPort) const {
        CTermView* list = CTermView::Instance();
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->ComPortOfRow(r) == comPort)
                list->selectRow(r);
        return dynamic_cast<CTermFormView*>(doc()->PanelInControllerPane());
    }
    static int rowOf(const CReportView* list, const QByteArray& mediaId) {
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->text(r, list->mediaIdColumn()) == QLatin1String(mediaId))
                return r;
        return -1;
    }
    // The row that stands for these stored bytes (its MediaID as the workspace keeps it).
    static int rowOfKey(const CReportView* list, const QByteArray& key) {
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->key(r) == key.toStdString())
                return r;
        return -1;
    }
    // Replaces the list's selection by the rows of these MediaIDs.
    static void select(CReportView* list, const QList<QByteArray>& mediaIds) {
        QList<int> rows;
        for (const QByteArray& id : mediaIds)
            rows << rowOf(list, id);
        selectRows(list, rows);
    }
    // The same by the rows' stored bytes, for MediaIDs that show as other characters.
    static void selectKeys(CReportView* list, const QList<QByteArray>& keys) {
        QList<int> rows;
        for (const QByteArray& key : keys)
            rows << rowOfKey(list, key);
        selectRows(list, rows);
    }
    static void selectRows(CReportView* list, QList<int> rows) {
        std::sort(rows.begin(), rows.end());
        list->clearRowSelection();
        if (!rows.isEmpty())
            list->setSelectedRows(rows);
    }
    std::map<std::string, std::string> mirror(int comPort) const {
        return doc()->FindController(comPort)->IdTable;
    }
};

// What the simulated controller holds, as the workspace mirrors it.
inline std::map<std::string, std::string> tableOf(const Vr12Simulator& sim) {
    std::map<std::string, std::string> out;
    for (int s = 0; s < 256; ++s)
        if (!sim.slot(s).isEmpty())
            out.emplace(sim.slot(s).toStdString(), QString::asprintf("%02X", s).toStdString());
    return out;
}

inline CEmpRecord employee(const std::string& last, const std::string& first) {
    return CEmpRecord{last, first};
}

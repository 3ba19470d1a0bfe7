#pragma once

#include "reportview.h"

class CTarvexDoc;

// Employees stored in the selected controller's ID table: last name, first name
// (empty when the MediaID has no employee), MediaID; sorted by last name.
class CTermEmpView : public CReportView {
    Q_OBJECT
public:
    static constexpr int kMediaIdColumn = 2;

    explicit CTermEmpView(QWidget* parent = nullptr);
    ~CTermEmpView() override;

    static CTermEmpView* Instance();

    // Rebuilds the list from the ID table of the controller on comPort (0 or an
    // unknown port: empty list).
    void FillList(const CTarvexDoc* doc, int comPort);
    void Clear() { reportModel()->clear(); }
};

#pragma once

#include "reportview.h"

class CTarvexDoc;

// Controllers list: name, ID, code, COM port; sorted by name; at most one row selected. A row's
// key is its COM port in decimal digits.
class CTermView : public CReportView {
    Q_OBJECT
public:
    static constexpr int kComPortColumn = 3;

    explicit CTermView(QWidget* parent = nullptr);
    ~CTermView() override;

    static CTermView* Instance();

    // Rebuilds the list from the workspace's controller map; no row is selected afterwards.
    void FillList(const CTarvexDoc* doc);

    // COM port of the first selected row, 0 when none is selected.
    int SelectedComPort() const;
    int ComPortOfRow(int row) const;

signals:
    // A row became selected (its COM port as read back from column 3).
    void controllerRowSelected(int comPort);
    // The list has no selected row any more.
    void selectionEmptied();

private:
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
};

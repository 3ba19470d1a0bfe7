#pragma once

#include "reportview.h"

#include <QDateTime>
#include <QHash>

class CTarvexDoc;

// Controllers list: name, ID, code, COM port and when the controller was last heard (blank
// before the first registration or answer, never stored); sorted by name; at most one row
// selected. A row's key is its COM port in decimal digits.
class CTermView : public CReportView {
    Q_OBJECT
public:
    static constexpr int kComPortColumn = 3;
    static constexpr int kLastHeardColumn = 4;

    explicit CTermView(QWidget* parent = nullptr);
    ~CTermView() override;

    static CTermView* Instance();

    // Rebuilds the list from the workspace's controller map; no row is selected afterwards.
    void FillList(const CTarvexDoc* doc);

    // COM port of the first selected row, 0 when none is selected.
    int SelectedComPort() const;
    int ComPortOfRow(int row) const;

    // The controller at `comPort` was heard at `at`; kept across refills of the list.
    void SetLastHeard(int comPort, const QDateTime& at);

signals:
    // A row became selected (its COM port as read back from column 3).
    void controllerRowSelected(int comPort);
    // The list has no selected row any more.
    void selectionEmptied();

private:
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    QHash<int, QString> m_lastHeard;
};

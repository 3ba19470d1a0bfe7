#pragma once

#include <QList>

#include <functional>
#include <string>
#include <vector>

// What a command needs of one of the lists: the rows selected, the row under the selection
// mark, and the key each row stands for as the workspace stores it. The lists implement it;
// tests fill it without a window.
class IListSelection {
public:
    virtual ~IListSelection() = default;

    virtual int rowCount() const = 0;
    // Selected rows in ascending order.
    virtual QList<int> selectedRows() const = 0;
    virtual int selectedCount() const = 0;
    // The row holding the selection mark while that row is selected, -1 otherwise. Ctrl+click
    // on a selected row takes its selection and leaves the mark on it.
    virtual int selectedMarkRow() const = 0;
    // The stored bytes the row stands for (an employee's MediaID, a controller's COM port in
    // decimal digits), empty when it has none; never the shown text converted back.
    virtual std::string key(int row) const = 0;
    // Replaces the selection by these rows and gives the list the keyboard focus.
    virtual void selectRowsAndFocus(const QList<int>& rows) = 0;
};

// The row a command on one row acts on: the one under the mark while it is selected, else the
// only selected row; -1 when neither says which.
inline int actedOnRow(const IListSelection& list) {
    const int marked = list.selectedMarkRow();
    if (marked >= 0)
        return marked;
    const QList<int> rows = list.selectedRows();
    return rows.size() == 1 ? rows.first() : -1;
}

// The stored keys of the selected rows, in row order.
inline std::vector<std::string> selectedKeys(const IListSelection& list) {
    std::vector<std::string> keys;
    for (const int row : list.selectedRows())
        keys.push_back(list.key(row));
    return keys;
}

// The lists the commands read and select in; a list not there is nullptr.
struct WorkspaceSelection {
    IListSelection* employees = nullptr;
    IListSelection* controllers = nullptr;
    IListSelection* controllerEmployees = nullptr;
    IListSelection* registrations = nullptr;
};

// Asked at each command, since the lists live and die with the main window.
using WorkspaceSelectionSource = std::function<WorkspaceSelection()>;

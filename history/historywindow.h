#pragma once

#include "historychart.h"
#include "historyfilter.h"

#include <QList>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CAttendanceModel;
class CDialogPrompts;
class CHistoryChartView;
class CHistoryFollower;
class CHistoryJoin;
class CHistoryModel;
class CHistoryStore;
class CTarvexDoc;
class IUserPrompts;
class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QModelIndex;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;

// The person or medium a row of the history stands for.
struct HistoryRowContext {
    QString mediaId;
    bool employee = false; // an employee of the workspace has it
    bool unknown = false;  // a medium no employee has
};

// Something a row leads to, offered in the rows' context menu; Enter and a double click take
// the first that applies.
struct HistoryRowAction {
    QString text;
    std::function<bool(const HistoryRowContext&)> appliesTo;
    std::function<void(const HistoryRowContext&)> run;
};

// The registrations history: every monthly file of the registrations folder, filtered, as a
// table of registrations, the attendance per person and day, and a chart; followed while
// shown, so that new registrations appear as they are written. A window of its own beside the
// main window, not modal.
class CHistoryWindow : public QWidget {
    Q_OBJECT
public:
    struct Context {
        // The registrations folder and the code page now (the settings may change).
        std::function<QString()> folder;
        std::function<QString()> codePage;
        // The workspace the registrations are joined to; it outlives the window.
        const CTarvexDoc* workspace = nullptr;
    };
    enum Tab { RegistrationsTab, AttendanceTab, ChartTab };

    explicit CHistoryWindow(Context context, QWidget* parent = nullptr);
    ~CHistoryWindow() override;

    // The file dialog and the messages; nullptr: the window's own dialogs. Not owned.
    void setPrompts(IUserPrompts* prompts);
    // Offered on every row it applies to, after those added before.
    void addRowAction(HistoryRowAction action);

    // Reads the folder from the start when the setting names another one than shown (or
    // always, with `always`).
    void reload(bool always = false);
    // Joins anew when the workspace's employees or controllers changed since.
    void workspaceChanged();
    // Export...: asks for the file and writes the current tab to it.
    void exportCurrentTab();
    // Writes what the current tab shows to `path`; false after telling why not.
    bool exportCurrentTabTo(const QString& path);

    // The filter the fields say now (the bounds as typed, when they can be read).
    HistoryFilter filterFromFields() const;
    const CHistoryStore& store() const { return *m_store; }
    CHistoryModel* historyModel() const { return m_history; }
    // In the order shown.
    QSortFilterProxyModel* attendanceView() const { return m_attendanceSorted; }
    const HistoryChart& chart() const { return m_chart; }
    QString countText() const;
    QList<QAction*> rowActions() const { return m_rowActionList; }
    // The row of the current tab's current index, if any.
    std::optional<HistoryRowContext> currentRow() const;

signals:
    // The shown rows changed (a filter applied, registrations came in, a tab filled).
    void shownChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildFields(class QGridLayout* grid);
    void applyFilter();
    void fillTab(int tab);
    void fillControllers();
    void takeNewRecords(qulonglong first);
    void everythingAnew();
    void updateCount();
    void updateRowActions();
    void showRowMenu(const QPoint& pos);
    void runFirstRowAction();
    bool joinDiffers() const;
    HistoryChart makeChart() const;
    QTableView* makeTable(QWidget* parent, const QString& name);

    Context m_context;
    std::unique_ptr<CDialogPrompts> m_ownPrompts;
    IUserPrompts* m_prompts = nullptr;
    std::unique_ptr<CHistoryStore> m_store;
    std::unique_ptr<CHistoryJoin> m_join;
    CHistoryFollower* m_follower = nullptr;
    bool m_folderReadable = true;

    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QComboBox* m_controller = nullptr;
    QLineEdit* m_match = nullptr;
    QCheckBox* m_unknownOnly = nullptr;
    QCheckBox* m_personsOnly = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTableView* m_historyTable = nullptr;
    QTableView* m_attendanceTable = nullptr;
    QComboBox* m_chartMode = nullptr;
    QDateEdit* m_chartDay = nullptr;
    CHistoryChartView* m_chartView = nullptr;
    QLabel* m_count = nullptr;

    CHistoryModel* m_history = nullptr;
    CAttendanceModel* m_attendance = nullptr;
    QSortFilterProxyModel* m_attendanceSorted = nullptr;
    HistoryChart m_chart;
    HistoryFilter m_filter;
    // A tab's content is made when it is shown: the attendance of a year takes longer than a
    // filter change may.
    bool m_stale[3] = {true, true, true};
    QTimer m_apply;

    std::vector<HistoryRowAction> m_actions;
    QList<QAction*> m_rowActionList;
};

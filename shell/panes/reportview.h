#pragma once

#include "commandtarget.h"
#include "listselection.h"
#include "reportmodel.h"

#include <QString>

#include <QList>
#include <QTreeView>

// Report-style list shared by the four lists: fixed left-aligned columns,
// headers that cannot be clicked, full-row selection that stays visible
// without the focus, and optional info tips for cut-off texts.
class CReportView : public QTreeView, public ICommandTarget, public IListSelection {
    Q_OBJECT
public:
    struct Column {
        int stringId;
        int width; // designed pixels, scaled to the font in use (see columnwidth.h)
        QString content = QString(); // what the column must show whole (columncontent)
    };

    // mediaIdColumn: the column holding each row's MediaID, or this for a list without one.
    static constexpr int kNoMediaId = -1;

    CReportView(const QList<Column>& columns, bool multiSelect, bool infoTips,
                int mediaIdColumn = kNoMediaId, QWidget* parent = nullptr);

    CReportModel* reportModel() const { return m_model; }
    int rowCount() const override { return m_model->rowCount(); }
    QString text(int row, int column) const { return m_model->text(row, column); }
    // The stored bytes the row stands for (its MediaID), empty when it has none.
    std::string key(int row) const override { return m_model->key(row); }

    // Selected rows in ascending order.
    QList<int> selectedRows() const override;
    int selectedCount() const override;
    // The row holding the selection mark (the current row), -1 when none.
    int selectionMarkRow() const;
    int selectedMarkRow() const override;
    void selectRowsAndFocus(const QList<int>& rows) override;
    void selectRow(int row, bool add = false);
    void clearRowSelection();
    // Replaces the selection by these rows in one step (adjacent rows become one
    // range, so selecting thousands of rows stays quick); the first becomes current.
    void setSelectedRows(QList<int> rows);

    // Copy MediaID: the first selected row's MediaID, at most 16 characters, as plain
    // text; nothing happens without a selection or in a list without MediaIDs.
    bool CopyMediaId() const;
    // Copy MediaID is enabled exactly when one row is selected.
    bool canCopyMediaId() const { return m_mediaIdColumn >= 0 && selectedCount() == 1; }
    int mediaIdColumn() const { return m_mediaIdColumn; }

    // Re-reads the column headers from the catalogue.
    void retranslateHeaders();

    // Resource number of the list's context menu (0: none).
    void setContextMenuId(int menuId) { m_menuId = menuId; }
    int contextMenuId() const { return m_menuId; }

    // A list with MediaIDs handles Copy MediaID; every other command goes further along
    // the route unless a subclass takes it.
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    QSize minimumSizeHint() const override { return QSize(0, 0); }

    // What a cell's text loses to its margins, left and right together.
    int textMargins() const;
    // How much wider the columns are together than designed: what their designed content
    // needs in the font in use.
    int columnsBeyondDesign() const;

signals:
    // A context menu was asked for at a global position.
    void contextMenuRequested(int menuId, const QPoint& globalPos);

protected:
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Every column the user has not resized takes its designed width for the current font.
    void applyColumnWidths();

    QList<Column> m_columns;
    QList<bool> m_userSized;
    bool m_applyingWidths = false;
    CReportModel* m_model;
    bool m_infoTips;
    int m_mediaIdColumn;
    int m_menuId = 0;
};

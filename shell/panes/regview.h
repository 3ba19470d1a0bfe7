#pragma once

#include "reportview.h"

#include <QIcon>

#include <functional>

// Registrations list: the newest registrations of all controllers in arrival
// order, at most 200 rows. Nothing in it is saved.
class CRegView : public CReportView {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 200;
    static constexpr int kMediaIdColumn = 3;

    explicit CRegView(QWidget* parent = nullptr);
    ~CRegView() override;

    // The program-wide reference the controller forms add their rows through.
    static CRegView* Instance();

    // Appends a registration, scrolls it into view and drops the oldest rows
    // beyond the limit.
    void AddRow(const QString& date, const QString& time, const QString& action,
                const QString& mediaId, int controllerId);

    // A registration row stands for its media ID, the bytes the controller sent.
    std::string key(int row) const override;

    // Clear list: enabled exactly when the list holds a row.
    void ClearList();
    bool CanClearList() const { return rowCount() > 0; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

    // Whether a selected row should ask the photo window for a picture (the
    // photo is in use and its window is shown). Without a gate nothing is asked.
    void setPhotoGate(std::function<bool()> gate) { m_photoGate = std::move(gate); }

    // Tells a MediaID that no employee has; its rows carry the unknown medium's mark. Without
    // one nothing is marked.
    void setUnknownMedium(std::function<bool(const QString& mediaId)> unknown);
    // The employees changed: the marks are drawn anew.
    void RefreshMarks();
    bool IsMarked(int row) const;

signals:
    // A selected row asks the photo window for the MediaID's picture; both
    // texts are empty when the row is not a medium's admission.
    void photoRequested(const QString& mediaId, const QString& caption);

protected:
    void changeEvent(QEvent* event) override;

private:
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    std::function<bool()> m_photoGate;
    std::function<bool(const QString&)> m_unknown;
};

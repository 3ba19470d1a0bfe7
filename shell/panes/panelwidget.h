#pragma once

#include "storedpanel.h"

#include <QWidget>

class QLabel;

// A controller's panel that shows the values it was bound with. It stands in
// the controller pane until the full controller form takes its place; the
// window owns the panel, so destroying the window frees it.
class CPanelWidget : public QWidget, public CStoredPanel {
    Q_OBJECT
public:
    explicit CPanelWidget(QWidget* parent = nullptr);

    void Bind(int comPort, const CTermRecord& record) override;
    void DestroyWindow() override;

    // The text shown for the values (for tests and the snapshot tool).
    QString shownText() const;

    QSize minimumSizeHint() const override { return QSize(0, 0); }

private:
    QLabel* m_label;
};

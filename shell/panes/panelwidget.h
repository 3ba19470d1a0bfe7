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
    ~CPanelWidget() override;

    void Bind(int id, const std::string& name, int code, int comPort, int relay1Time,
              int relay2Time, const std::string& master, const std::string& masterName,
              const std::string& firmware) override;
    void DestroyWindow() override;

    // The text shown for the values (for tests and the snapshot tool).
    QString shownText() const;

    QSize minimumSizeHint() const override { return QSize(0, 0); }

private:
    QLabel* m_label;
};

#pragma once

#include <QWidget>

// Placeholder shown in the controller pane while no controller is selected.
class CEmptyForm : public QWidget {
    Q_OBJECT
public:
    explicit CEmptyForm(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return QSize(0, 0); }
};

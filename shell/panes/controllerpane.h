#pragma once

#include <QPointer>
#include <QWidget>

// Row 1 of the right-hand splitter: holds the empty form and every
// controller's panel window as children and shows exactly one of them, filling
// the pane. (A splitter would turn each child into a pane of its own.)
class CControllerPane : public QWidget {
    Q_OBJECT
public:
    explicit CControllerPane(QWidget* parent = nullptr);

    // Makes w (a child of this pane) the window shown; returns the one shown before.
    QWidget* showWindow(QWidget* w);
    QWidget* shownWindow() const { return m_shown; }

    QSize minimumSizeHint() const override { return QSize(0, 0); }
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QWidget> m_shown;
};

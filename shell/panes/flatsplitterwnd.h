#pragma once

#include <QSplitter>

// Bar of a flat splitter: painted in the window colour, with no grip. Its outer rows (or
// columns) carry the flat frame of the panes on either side.
class CFlatSplitterHandle : public QSplitterHandle {
    Q_OBJECT
public:
    CFlatSplitterHandle(Qt::Orientation o, QSplitter* parent) : QSplitterHandle(o, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Splitter with a flat look: 6-pixel bars, panes that may shrink to nothing, and a
// one-pixel border in which every pane gets a flat frame (shadow on top/left, highlight on
// bottom/right) instead of the style's sunken panel. A pane that is itself a flat splitter
// is not framed: its own panes are.
class CFlatSplitterWnd : public QSplitter {
    Q_OBJECT
public:
    explicit CFlatSplitterWnd(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Turns the one-pixel border with the panes' frames on (the default) or off.
    void setFlatBorder(bool on);
    bool hasFlatBorder() const { return m_border; }

    // Whether the pane gets a frame drawn around it.
    static bool isFramed(const QWidget* pane);
    static QColor shadowColor(const QWidget* w);
    static QColor highlightColor(const QWidget* w);

    // Nested panes must be able to shrink to zero when the window gets small.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    QSplitterHandle* createHandle() override;

private:
    bool m_border = false;
};

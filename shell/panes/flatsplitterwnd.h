#pragma once

#include <QSplitter>

// Bar of a flat splitter: painted in the window colour, with no grip.
class CFlatSplitterHandle : public QSplitterHandle {
    Q_OBJECT
public:
    CFlatSplitterHandle(Qt::Orientation o, QSplitter* parent) : QSplitterHandle(o, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Splitter with a flat look: 6-pixel bars, panes that may shrink to nothing,
// and an optional one-pixel flat frame (shadow on top/left, highlight on
// bottom/right) instead of the style's sunken panel.
class CFlatSplitterWnd : public QSplitter {
    Q_OBJECT
public:
    explicit CFlatSplitterWnd(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Turns the one-pixel flat frame around the whole splitter on or off.
    void setFlatBorder(bool on);
    bool hasFlatBorder() const { return m_border; }

    // Nested panes must be able to shrink to zero when the window gets small.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    QSplitterHandle* createHandle() override;

private:
    bool m_border = false;
};

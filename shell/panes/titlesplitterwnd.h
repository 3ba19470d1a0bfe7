#pragma once

#include "flatsplitterwnd.h"

// Holds a title strip above its pane. The one-pixel bar between them ignores
// the pointer entirely: it cannot be dragged and shows no resize cursor. The
// title keeps its height; the pane below takes the rest.
class CTitleSplitterWnd : public CFlatSplitterWnd {
    Q_OBJECT
public:
    explicit CTitleSplitterWnd(QWidget* parent = nullptr);

    // Height of row 0 (the title strip); the system caption height by default.
    void setTitleHeight(int height);
    int titleHeight() const { return m_titleHeight; }

    // Lays the two rows out again for the current size.
    void relayout();

    static int captionHeight();

protected:
    QSplitterHandle* createHandle() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_titleHeight;
};

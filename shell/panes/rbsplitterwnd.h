#pragma once

#include "flatsplitterwnd.h"

// Two-pane splitter whose second (bottom or right) pane keeps a remembered
// size: the first pane absorbs every change of the splitter's size and never
// goes below zero. Dragging the bar and letting go remembers the new size.
class CRBSplitterWnd : public CFlatSplitterWnd {
    Q_OBJECT
public:
    // orientation 1: two rows; 0: two columns. keepSize is the room for the
    // second pane including the bar, in pixels.
    CRBSplitterWnd(int orientation, int keepSize, QWidget* parent = nullptr);

    int keepSize() const { return m_keepSize; }
    void setKeepSize(int size);

    // Gives the first pane everything but keepSize and lays the panes out.
    void relayout();

    // Drops the outline of a drag in progress; the panes stay as they were.
    void cancelDrag();

protected:
    void resizeEvent(QResizeEvent* event) override;
    QSplitterHandle* createHandle() override;

private:
    int outerSize() const;
    void dragFinished();

    int m_keepSize;
};

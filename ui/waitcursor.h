#pragma once

// The wait cursor for as long as the object lives, given back on every path out. Where there
// is no cursor to show (no GUI application: a tool, a headless test) it does nothing.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    bool m_shown = false;
};

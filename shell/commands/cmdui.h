#pragma once

// What an update handler tells about one command: whether it is enabled and checked.
class CCmdUI {
public:
    explicit CCmdUI(int id) : m_id(id) {}

    int id() const { return m_id; }
    void Enable(bool on = true) { m_enabled = on; }
    void SetCheck(bool on = true) { m_checked = on; }
    bool enabled() const { return m_enabled; }
    bool checked() const { return m_checked; }

private:
    int m_id;
    bool m_enabled = true;
    bool m_checked = false;
};

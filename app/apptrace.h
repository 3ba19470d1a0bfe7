#pragma once

#include "splashdlg.h"

#include <QPointer>
#include <QStringList>

// The steps of start-up and shutdown in the order they are taken, and the splash window that
// shows where start-up has got to.
class CAppTrace {
public:
    void step(const QString& name) { m_steps.append(name); }
    // The splash window's status line, when there is one.
    void status(const QString& text) {
        if (m_splash)
            m_splash->SetStatusText(text);
    }

    void setSplash(CSplashDlg* splash) { m_splash = splash; }
    CSplashDlg* splash() const { return m_splash; }
    const QStringList& steps() const { return m_steps; }

private:
    QStringList m_steps;
    QPointer<CSplashDlg> m_splash;
};

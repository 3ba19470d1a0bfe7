#include "exitsequence.h"

#include "apptrace.h"
#include "modalwindows.h"
#include "resourceids.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

CExitSequence::CExitSequence(CAppTrace& trace, Steps steps, QObject* parent)
    : QObject(parent), m_trace(trace), m_steps(std::move(steps)) {}

bool CExitSequence::Exit() {
    m_trace.step(QStringLiteral("Exit"));
    if (m_finishScheduled)
        return true;
    // A second Exit (from the tray, say) while the first one asks: the question stays.
    if (m_promptOpen)
        return false;
    // Their loops run on the stack of whoever opened them; none may outlive the window.
    if (!closeModalWindows())
        return false;
    m_promptOpen = true;
    const bool decided = !m_steps.saveModified || m_steps.saveModified();
    m_promptOpen = false;
    if (!decided || m_finishScheduled)
        return decided;
    if (m_steps.decided)
        m_steps.decided();
    scheduleFinish();
    return true;
}

void CExitSequence::ExitWithoutPrompt() {
    if (m_finishScheduled)
        return;
    m_trace.step(QStringLiteral("ExitWithoutPrompt"));
    closeModalWindows();
    scheduleFinish();
}

void CExitSequence::scheduleFinish() {
    m_finishScheduled = true;
    // The frame goes away after the command that asked for it has returned.
    QTimer::singleShot(0, this, &CExitSequence::finish);
}

void CExitSequence::finish() {
    // Still inside a dialog's or a menu's loop: wait until it has unwound.
    if (QThread::currentThread()->loopLevel() > m_mainLoopLevel || modalWindowOpen()) {
        closeModalWindows();
        QTimer::singleShot(10, this, &CExitSequence::finish);
        return;
    }
    m_trace.step(QStringLiteral("CloseWorkspace"));
    if (CSplashDlg* splash = m_trace.splash()) {
        splash->SetStatusText(res::IDS_CLOSING);
        splash->showCentred();
    }
    if (m_steps.destroyMainWindow)
        m_steps.destroyMainWindow();
    // Leave the program's event loop; with none running (the program driven from outside)
    // an exit request would linger and end the next loop that starts.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

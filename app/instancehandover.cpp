#include "instancehandover.h"

#include "documentflow.h"
#include "mainframe.h"
#include "modalwindows.h"
#include "resourceids.h"
#include "singleinstance.h"
#include "userprompts.h"

#include <QDir>

#include <cstdio>

namespace {
void toStderr(const QString& text) {
    std::fprintf(stderr, "tarvex: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}
} // namespace

CInstanceHandover::CInstanceHandover(QObject* parent) : QObject(parent) {
    connect(&m_channel, &CInstanceChannel::commandLineReceived, this,
            &CInstanceHandover::onRequest);
    m_waitTimer.setSingleShot(true);
    m_waitTimer.setInterval(kWaitLookMs);
    connect(&m_waitTimer, &QTimer::timeout, this, &CInstanceHandover::drain);
}

CInstanceHandover::Outcome CInstanceHandover::claim(CSingleInstance& lock,
                                                    const QStringList& arguments,
                                                    IUserPrompts& prompts) {
    const CSingleInstance::Result result = lock.tryAcquire(CSingleInstance::programLockName());
    const bool otherCopy =
        result == CSingleInstance::Result::HeldByOther ||
        (result == CSingleInstance::Result::Failed && CInstanceChannel::isRunningCopyListening());
    if (otherCopy) {
        // Quietly: a copy that cannot be reached (hung, say) is still the one that runs.
        CInstanceChannel::sendToRunning(
            CInstanceChannel::absoluteArguments(arguments, QDir::currentPath()),
            kHandoverTimeoutMs);
        return Outcome::SecondCopy;
    }
    if (result == CSingleInstance::Result::Failed) {
        const QString text =
            QStringLiteral("The lock that keeps Tarvex from running twice could not be created "
                           "in the folder %1.\n\n%2\n\nTarvex starts without it.")
                .arg(QDir::toNativeSeparators(CSingleInstance::runtimeFolder()), lock.error());
        toStderr(QString(text).replace(QStringLiteral("\n\n"), QStringLiteral(" ")));
        prompts.warning(text);
    }
    // Later starts reach this copy through the socket; without one they start on their own.
    if (!m_channel.listen())
        toStderr(QStringLiteral("a later start cannot reach this copy: %1")
                     .arg(m_channel.errorString()));
    return Outcome::FirstCopy;
}

void CInstanceHandover::serve(CDocumentFlow* flow, CMainFrame* frame) {
    m_flow = flow;
    m_frame = frame;
    m_channel.setAccepting(flow && frame);
}

void CInstanceHandover::onRequest(const QStringList& arguments) {
    // Up at once, over whatever keeps the request waiting, so that the user sees why.
    bringToFront();
    m_queue.append(arguments);
    drain();
}

bool CInstanceHandover::mustWait() const {
    return modalWindowOpen() || (m_frame && !m_frame->isEnabled());
}

void CInstanceHandover::drain() {
    // A request that arrives while a save prompt of the one before is open waits its turn.
    if (m_busy)
        return;
    m_busy = true;
    while (!m_queue.isEmpty() && !mustWait())
        handle(m_queue.takeFirst());
    m_busy = false;
    if (!m_queue.isEmpty())
        m_waitTimer.start();
}

void CInstanceHandover::bringToFront() {
    if (m_frame && m_flow)
        m_frame->commands().execute(res::ID_RESTORE_MAIN);
}

void CInstanceHandover::handle(const QStringList& arguments) {
    if (!m_frame || !m_flow)
        return;
    QString fileName;
    for (const QString& arg : arguments) {
        if (!arg.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            fileName = arg;
            break;
        }
    }
    // Up first, so that the save prompt shows over the window it belongs to.
    bringToFront();
    if (fileName.isEmpty())
        return;
    m_flow->OpenDocumentFile(fileName);
    bringToFront();
}

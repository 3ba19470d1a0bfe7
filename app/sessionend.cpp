#include "sessionend.h"

#include "catalogue.h"
#include "documentflow.h"
#include "recoverycopy.h"
#include "resourceids.h"
#include "tarvexapp.h"
#include "tarvexdoc.h"
#include "terminationsignals.h"
#include "textformat.h"
#include "userprompts.h"

#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSessionManager>

namespace {
// Document string field of the untitled workspace's name.
constexpr int kUntitled = 1;
} // namespace

CSessionEnd::CSessionEnd(CTarvexApp& app, QObject* parent) : QObject(parent), m_app(app) {
    m_signals = new CTerminationSignals(this);
    connect(m_signals, &CTerminationSignals::received, this, &CSessionEnd::Terminate);
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(
            gui, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& manager) {
                // Asking for interaction is what makes the session manager grant it.
                const bool interaction = manager.allowsInteraction();
                if (!CommitSession(interaction))
                    manager.cancel();
                else if (interaction)
                    manager.release();
            },
            Qt::DirectConnection);
    }
    QCoreApplication::instance()->installEventFilter(this);
}

CSessionEnd::~CSessionEnd() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool CSessionEnd::eventFilter(QObject* watched, QEvent* event) {
    // Left to Qt, a quit asks every window to close, and the main window refuses all but
    // File Exit's close: the quit would be ignored.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        Quit();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CSessionEnd::OfferRecoveryCopy(IUserPrompts& prompts, CDocumentFlow& flow) {
    CRecoveryCopy copy;
    if (!copy.exists())
        return;
    const QString original = copy.originalPath();
    const QString name = original.isEmpty() ? CCatalogue::instance().documentString(kUntitled)
                                            : QFileInfo(original).fileName();
    switch (prompts.askYesNo(FormatString(res::IDS_RESTORE_UNSAVED, name))) {
    case IUserPrompts::Yes:
        // Read, it lives on in the open, modified workspace; unreadable (the failure was
        // shown), it would only be offered again and again.
        flow.OpenRecovered(copy.workspacePath(), original);
        copy.discard();
        break;
    case IUserPrompts::No:
        copy.discard();
        break;
    case IUserPrompts::Cancel:
        break;
    }
}

void CSessionEnd::keepUnsavedWorkspace() {
    const CTarvexDoc* doc = m_app.document();
    if (!doc || !doc->IsModified() || !m_app.documentFlow())
        return;
    CRecoveryCopy copy;
    if (copy.write(*doc, m_app.documentFlow()->originalPath()))
        m_copyWritten = true;
}

bool CSessionEnd::CommitSession(bool interactionAllowed) {
    if (m_app.exitUnderWay())
        return true;
    if (interactionAllowed) {
        // The user is already answering File Exit's question: the log-out waits for that.
        if (m_app.exitPromptOpen())
            return false;
        CDocumentFlow* flow = m_app.documentFlow();
        if (flow && !flow->SaveModified())
            return false;
        // Saved, or "No": what is left unsaved is not wanted, also not as a copy.
        if (m_app.document())
            m_app.document()->SetModifiedFlag(false);
        ExitDecided();
    } else {
        keepUnsavedWorkspace();
    }
    m_committed = true;
    m_app.SaveSessionSettings();
    return true;
}

void CSessionEnd::Terminate() {
    if (m_app.exitUnderWay())
        return;
    keepUnsavedWorkspace();
    m_app.ExitWithoutPrompt();
}

void CSessionEnd::Quit() {
    if (m_app.exitUnderWay())
        return;
    if (m_committed) {
        keepUnsavedWorkspace();
        m_app.ExitWithoutPrompt();
        return;
    }
    m_app.Exit();
}

void CSessionEnd::ExitDecided() {
    if (!m_copyWritten)
        return;
    CRecoveryCopy().discard();
    m_copyWritten = false;
}

#include "documentflow.h"

#include "catalogue.h"
#include "cmdui.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "textformat.h"
#include "userprompts.h"
#include "workspacefile.h"
#include "workspacemessages.h"

#include <QFileInfo>

using namespace res;

namespace {
// Fields of the document strings.
constexpr int kUntitled = 1;
constexpr int kNewName = 2;
constexpr int kFilterName = 3;
constexpr int kExtension = 4;
} // namespace

CDocumentFlow::CDocumentFlow(CTarvexDoc& doc, CRecentFileList& recent, IUserPrompts& prompts,
                             QObject* parent)
    : QObject(parent), m_doc(doc), m_recent(recent), m_prompts(prompts) {
    m_title = CCatalogue::instance().documentString(kUntitled);
}

void CDocumentFlow::setPath(const QString& path) {
    m_recoveredFrom.clear();
    m_path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    m_title = m_path.isEmpty() ? CCatalogue::instance().documentString(kUntitled)
                               : QFileInfo(m_path).fileName();
    emit titleChanged(m_title);
}

QString CDocumentFlow::filter() const {
    const CCatalogue& cat = CCatalogue::instance();
    return cat.documentString(kFilterName) + QStringLiteral(";;") + S(IDS_ALL_FILES_FILTER);
}

bool CDocumentFlow::SaveModified() {
    if (!m_doc.IsModified())
        return true;
    QString name = m_path.isEmpty() ? m_title : m_path;
    switch (m_prompts.askSaveChanges(FormatString(IDS_ASK_TO_SAVE, name))) {
    case IUserPrompts::Yes:
        return OnFileSave();
    case IUserPrompts::No:
        return true;
    case IUserPrompts::Cancel:
        break;
    }
    return false;
}

bool CDocumentFlow::OnFileNew() {
    if (!SaveModified())
        return false;
    m_doc.ClearWorkspace();
    m_doc.SetModifiedFlag(false);
    setPath(QString());
    emit documentReset();
    return true;
}

bool CDocumentFlow::OpenDocumentFile(const QString& path) {
    if (!SaveModified())
        return false;
    const WorkspaceLoadResult result = CWorkspaceFile::Load(path, m_doc);
    if (result.failed())
        return openFailed(WorkspaceLoadMessage(path, result));
    m_doc.SetModifiedFlag(false);
    setPath(path);
    emit documentReset();
    rememberPath();
    return true;
}

bool CDocumentFlow::openFailed(const QString& reason) {
    // Whatever was read is dropped: a failed open leaves a new, empty, untitled workspace, so
    // that no later save can write it over the refused file.
    m_doc.ClearWorkspace();
    m_doc.SetModifiedFlag(false);
    setPath(QString());
    emit documentReset();
    reportFailure(IDS_FAILED_TO_OPEN_DOC, reason);
    return false;
}

bool CDocumentFlow::OpenRecovered(const QString& copyPath, const QString& originalPath) {
    if (!SaveModified())
        return false;
    const WorkspaceLoadResult result = CWorkspaceFile::Load(copyPath, m_doc);
    if (result.failed())
        return openFailed(WorkspaceLoadMessage(copyPath, result));
    m_doc.SetModifiedFlag(true);
    setPath(QString());
    if (!originalPath.isEmpty()) {
        m_recoveredFrom = QFileInfo(originalPath).absoluteFilePath();
        m_title = QFileInfo(m_recoveredFrom).fileName();
        emit titleChanged(m_title);
    }
    emit documentReset();
    return true;
}

bool CDocumentFlow::OnFileOpen() {
    const QString path = m_prompts.openFileName(filter());
    if (path.isEmpty())
        return false;
    return OpenDocumentFile(path);
}

bool CDocumentFlow::DoSave(const QString& path) {
    const WorkspaceSaveResult result = CWorkspaceFile::Save(m_doc, path);
    if (!result.ok) {
        reportFailure(IDS_FAILED_TO_SAVE_DOC, WorkspaceSaveMessage(path, result));
        return false;
    }
    m_doc.SetModifiedFlag(false);
    setPath(path);
    rememberPath();
    return true;
}

void CDocumentFlow::reportFailure(int stringId, const QString& reason) {
    QString text = S(stringId);
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason;
    m_prompts.stop(text);
}

void CDocumentFlow::rememberPath() {
    m_recent.add(m_path);
    emit recentFilesChanged(m_recent.files());
}

bool CDocumentFlow::OnFileSave() {
    if (m_path.isEmpty())
        return OnFileSaveAs();
    return DoSave(m_path);
}

bool CDocumentFlow::OnFileSaveAs() {
    const CCatalogue& cat = CCatalogue::instance();
    const QString extension = cat.documentString(kExtension);
    QString suggested = originalPath();
    if (suggested.isEmpty())
        suggested = cat.documentString(kNewName) + extension;
    QString path = m_prompts.saveFileName(filter(), suggested);
    if (path.isEmpty())
        return false;
    // A name typed without an extension gets the workspace's one.
    if (QFileInfo(path).suffix().isEmpty() && !path.endsWith(QLatin1Char('.')))
        path += extension;
    return DoSave(path);
}

bool CDocumentFlow::OnCommand(int id) {
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_FILE_OPEN:
        OnFileOpen();
        return true;
    case ID_FILE_SAVE:
        OnFileSave();
        return true;
    case ID_FILE_SAVE_AS:
        OnFileSaveAs();
        return true;
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + ID_FILE_MRU_COUNT) {
        const int index = id - ID_FILE_MRU_FILE1;
        if (index >= m_recent.files().size())
            return true;
        const QString path = m_recent.files().at(index);
        // A recent file that is missing leaves the list; one that exists but fails to load
        // stays, since the fault may pass.
        if (!OpenDocumentFile(path) && !QFileInfo::exists(path)) {
            m_recent.remove(index);
            emit recentFilesChanged(m_recent.files());
        }
        return true;
    }
    return false;
}

bool CDocumentFlow::OnUpdateCommand(int id, CCmdUI& ui) {
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
        return true;
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + ID_FILE_MRU_COUNT) {
        ui.Enable(id - ID_FILE_MRU_FILE1 < m_recent.files().size());
        return true;
    }
    return false;
}

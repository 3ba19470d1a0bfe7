#include "importcommands.h"

#include "appsettings.h"
#include "catalogue.h"
#include "cmdui.h"
#include "csvimport.h"
#include "dbimport.h"
#include "importprogressdlg.h"
#include "importusers.h"
#include "importusersdb.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "textformat.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QApplication>

using namespace res;

CImportCommands::CImportCommands(Context context) : m_context(std::move(context)) {}

bool CImportCommands::OnCommand(int id) {
    if (id == ID_FILE_IMPORT_TXT)
        ImportFromText();
    else if (id == ID_FILE_IMPORT_DB)
        ImportFromDatabase();
    else
        return false;
    return true;
}

bool CImportCommands::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id != ID_FILE_IMPORT_TXT && id != ID_FILE_IMPORT_DB)
        return false;
    ui.Enable(m_context.document() != nullptr);
    return true;
}

void CImportCommands::ImportFromText() {
    CTarvexDoc* doc = m_context.document();
    if (!doc)
        return;
    IUserPrompts& prompts = *m_context.prompts;
    CAppSettings& settings = CAppSettings::instance();
    CPS_ImportUsers sheet(prompts, settings.ImportFile, m_context.owner());
    if (sheet.exec() != QDialog::Accepted)
        return;

    CsvImportSettings choice = sheet.settings();
    choice.codePage = settings.CodePage;
    settings.ImportFile = choice.path;
    m_context.saveSettings();

    CsvImportResult result;
    {
        const CWaitCursor wait;
        result = ImportCsvFile(choice, *doc);
    }
    if (!result.opened) {
        // The file went away after it was chosen.
        prompts.stop(FormatString(IDS_FILE_NOT_FOUND, choice.path));
        return;
    }
    if (result.readFailed) {
        // The lines before the failure were imported and stay in the workspace.
        prompts.stop(FormatString(IDS_IMPORT_READ_FAILED, choice.path, result.reason, result.total,
                                  result.imported));
    } else {
        prompts.information(FormatString(IDS_IMPORT_TOTALS, result.total, result.imported));
    }
    if (!result.unmapped.IsEmpty())
        prompts.warning(result.unmapped.Warning(result.codePage));
}

void CImportCommands::ImportFromDatabase() {
    CTarvexDoc* doc = m_context.document();
    if (!doc)
        return;
    IUserPrompts& prompts = *m_context.prompts;
    CAppSettings& settings = CAppSettings::instance();
    CPS_ImportUsersDB sheet(prompts, m_dataLink, settings.ImportDB, m_waitLimits,
                            m_context.owner());
    if (sheet.exec() != QDialog::Accepted)
        return;

    DbImportSettings choice = sheet.settings();
    choice.codePage = settings.CodePage;
    settings.ImportDB = choice.connection;
    m_context.saveSettings();

    DbImportResult result;
    {
        CImportProgressDlg progress(m_context.owner());
        const CWaitCursor wait;
        result = ImportDbTable(
            choice, *doc,
            [&progress](int processed, int total) { progress.step(processed, total); },
            [&progress] { return progress.cancelled(); });
    }
    switch (result.outcome) {
    case DbImportResult::Outcome::NoConnection:
        prompts.stop(S(IDS_SOURCE_CONNECT_FAILED));
        return;
    case DbImportResult::Outcome::QueryFailed:
        prompts.stop(FormatString(IDS_DATABASE_ERROR, result.error));
        return;
    case DbImportResult::Outcome::NothingToImport:
        prompts.notice(S(IDS_NOTHING_TO_IMPORT));
        return;
    case DbImportResult::Outcome::Cancelled:
        // The rows read before Cancel stay imported.
        prompts.information(
            FormatString(IDS_IMPORT_CANCELLED, result.total, result.expected, result.imported));
        break;
    case DbImportResult::Outcome::Imported:
        prompts.information(FormatString(IDS_IMPORT_TOTALS, result.total, result.imported));
        break;
    }
    if (!result.unmapped.IsEmpty())
        prompts.warning(result.unmapped.Warning(result.codePage));
}

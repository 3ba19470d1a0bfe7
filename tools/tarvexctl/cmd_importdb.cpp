#include "codepage.h"
#include "commands.h"
#include "ctlcommon.h"
#include "dbimport.h"
#include "mediaid.h"
#include "tarvexdoc.h"

#include <cstdio>

namespace {

const char kUsage[] =
    "usage: tarvexctl import-db FILE.VR-12 --connect STRING --table T --mediaid COL "
    "--lastname COL --firstname COL [--media-type ibutton|rf|magnetic] "
    "[--media-form hex|decimal|w26] [--codepage CP]";

} // namespace

int runImportDbCommand(const Args& args) {
    const std::string* workspace = nullptr;
    DbImportSettings settings;
    settings.mediaType = MediaIButton;
    std::optional<int> mediaType;
    bool hasConnection = false, hasTable = false, hasMediaId = false, hasLast = false,
         hasFirst = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const auto value = [&] { return QString::fromLocal8Bit(args[++i].c_str()); };
        if (arg == "--connect" && hasValue) {
            settings.connection = value();
            hasConnection = true;
        } else if (arg == "--table" && hasValue) {
            settings.table = value();
            hasTable = true;
        } else if (arg == "--mediaid" && hasValue) {
            settings.mediaIdColumn = value();
            hasMediaId = true;
        } else if (arg == "--lastname" && hasValue) {
            settings.lastNameColumn = value();
            hasLast = true;
        } else if (arg == "--firstname" && hasValue) {
            settings.firstNameColumn = value();
            hasFirst = true;
        } else if (arg == "--media-type" && hasValue) {
            const std::optional<int> type = parseMediaType(args[++i]);
            if (!type)
                return fail(
                    kExitUsage,
                    QStringLiteral("unknown media type: %1").arg(QString::fromStdString(args[i])));
            settings.mediaType = *type;
            mediaType = type;
        } else if (arg == "--media-form" && hasValue) {
            const std::optional<MediaForm> form = parseMediaForm(args[++i]);
            if (!form)
                return fail(
                    kExitUsage,
                    QStringLiteral("unknown form: %1").arg(QString::fromStdString(args[i])));
            settings.mediaForm = *form;
        } else if (arg == "--codepage" && hasValue) {
            settings.codePage = value();
        } else if (!isOption(arg) && !workspace) {
            workspace = &arg;
        } else {
            return badArgument(arg,
                               {"--connect", "--table", "--mediaid", "--lastname", "--firstname",
                                "--media-type", "--media-form", "--codepage"},
                               QString::fromLatin1(kUsage));
        }
    }
    if (!workspace || !hasConnection || !hasTable || !hasMediaId || !hasLast || !hasFirst ||
        settings.connection.isEmpty() || settings.table.isEmpty())
        return fail(kExitUsage, QString::fromLatin1(kUsage));
    if (const QString conflict = mediaFormConflict(settings.mediaForm, mediaType);
        !conflict.isEmpty())
        return fail(kExitUsage, conflict);
    if (settings.codePage.isEmpty())
        settings.codePage = codePageSetting();
    if (!CCodePage(settings.codePage).IsValid())
        return fail(kExitUsage, QStringLiteral("unknown code page: %1").arg(settings.codePage));

    const QString workspacePath = fileArg(*workspace);
    CTarvexDoc doc;
    if (const int status = loadWorkspaceForChange(workspacePath, doc))
        return status;

    const DbImportResult imported = ImportDbTable(settings, doc);
    switch (imported.outcome) {
    case DbImportResult::Outcome::NoConnection:
        return fail(kExitFailure, QStringLiteral("Unable to connect to source database.\n") +
                                      imported.error.trimmed());
    case DbImportResult::Outcome::QueryFailed:
        return fail(kExitFailure, QStringLiteral("Database error:\n\n") + imported.error.trimmed() +
                                      QStringLiteral("\nworkspace not changed"));
    case DbImportResult::Outcome::NothingToImport:
        std::printf("Nothing to import.\n");
        return kExitOk;
    case DbImportResult::Outcome::Cancelled: // the tool asks for no cancel
    case DbImportResult::Outcome::Imported:
        break;
    }
    // A scheduled sync leaves an unchanged workspace file alone.
    if (imported.imported > 0) {
        if (const int status = saveWorkspace(doc, workspacePath))
            return status;
    }
    std::printf("Total found: %d\nImported: %d\n", imported.total, imported.imported);
    if (!imported.unmapped.IsEmpty())
        fail(kExitOk, QStringLiteral("warning: ") + imported.unmapped.Warning(imported.codePage));
    return kExitOk;
}

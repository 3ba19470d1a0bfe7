#include "codepage.h"
#include "commands.h"
#include "csvimport.h"
#include "ctlcommon.h"
#include "mediaid.h"
#include "tarvexdoc.h"
#include "workspacefile.h"

#include <cstdio>

namespace {

const char kUsage[] =
    "usage: tarvexctl import-csv FILE.VR-12 CSVFILE --mediaid N --lastname N "
    "--firstname N [--media-type ibutton|rf|magnetic] [--media-form hex|decimal|w26] "
    "[--codepage CP]";

} // namespace

int runImportCsvCommand(const Args& args) {
    std::vector<const std::string*> files;
    std::optional<int> mediaIdColumn, lastNameColumn, firstNameColumn;
    std::optional<int> mediaType;
    MediaForm mediaForm = MediaForm::Hex;
    QString codePageName;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        std::optional<int>* column = arg == "--mediaid"     ? &mediaIdColumn
                                     : arg == "--lastname"  ? &lastNameColumn
                                     : arg == "--firstname" ? &firstNameColumn
                                                            : nullptr;
        if (column && hasValue) {
            *column = parseColumn(args[++i]);
            if (!*column)
                return fail(kExitUsage,
                            QStringLiteral("%1 needs a column number from 0: %2")
                                .arg(QString::fromStdString(arg), QString::fromStdString(args[i])));
        } else if (arg == "--media-type" && hasValue) {
            const std::optional<int> type = parseMediaType(args[++i]);
            if (!type)
                return fail(
                    kExitUsage,
                    QStringLiteral("unknown media type: %1").arg(QString::fromStdString(args[i])));
            mediaType = *type;
        } else if (arg == "--media-form" && hasValue) {
            const std::optional<MediaForm> form = parseMediaForm(args[++i]);
            if (!form)
                return fail(
                    kExitUsage,
                    QStringLiteral("unknown form: %1").arg(QString::fromStdString(args[i])));
            mediaForm = *form;
        } else if (arg == "--codepage" && hasValue) {
            codePageName = QString::fromStdString(args[++i]);
        } else if (arg.rfind("--", 0) != 0 && files.size() < 2) {
            files.push_back(&arg);
        } else {
            return badArgument(arg,
                               {"--mediaid", "--lastname", "--firstname", "--media-type",
                                "--media-form", "--codepage"},
                               QString::fromLatin1(kUsage));
        }
    }
    if (files.size() != 2 || !mediaIdColumn || !lastNameColumn || !firstNameColumn)
        return fail(kExitUsage, QString::fromLatin1(kUsage));
    if (const QString conflict = mediaFormConflict(mediaForm, mediaType); !conflict.isEmpty())
        return fail(kExitUsage, conflict);
    if (codePageName.isEmpty())
        codePageName = codePageSetting();
    if (!CCodePage(codePageName).IsValid())
        return fail(kExitUsage, QStringLiteral("unknown code page: %1").arg(codePageName));

    const QString workspacePath = fileArg(*files[0]);
    CTarvexDoc doc;
    if (const int status = loadWorkspaceForChange(workspacePath, doc))
        return status;

    CsvImportSettings settings;
    settings.path = fileArg(*files[1]);
    settings.mediaIdColumn = *mediaIdColumn;
    settings.lastNameColumn = *lastNameColumn;
    settings.firstNameColumn = *firstNameColumn;
    settings.mediaType = mediaType.value_or(MediaIButton);
    settings.mediaForm = mediaForm;
    settings.codePage = codePageName;
    const CsvImportResult imported = ImportCsvFile(settings, doc);
    if (!imported.opened)
        return fail(kExitFailure, imported.error);
    if (!imported.error.isEmpty())
        return fail(kExitFailure, imported.error + QStringLiteral("; workspace not changed"));

    if (const int status = saveWorkspace(doc, workspacePath))
        return status;
    std::printf("Total found: %d\nImported: %d\n", imported.total, imported.imported);
    if (!imported.unmapped.IsEmpty())
        fail(kExitOk, QStringLiteral("warning: ") + imported.unmapped.Warning(imported.codePage));
    return kExitOk;
}

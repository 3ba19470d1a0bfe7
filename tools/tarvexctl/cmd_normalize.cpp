#include "commands.h"
#include "ctlcommon.h"
#include "mediaform.h"
#include "mediaid.h"
#include "mediatext.h"

#include <string>

int runNormalizeCommand(const Args& args) {
    const QString usage = QStringLiteral(
        "usage: tarvexctl normalize [--form hex|decimal|w26] [--type ibutton|rf] VALUE...");
    MediaForm form = MediaForm::Hex;
    std::optional<int> mediaType;
    std::size_t i = 0;
    // Options come first, so that any value, even one starting with "--", can follow "--".
    for (; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        // --media-type is the older name of --type, and still takes magnetic.
        if ((args[i] == "--type" || args[i] == "--media-type") && hasValue) {
            const bool older = args[i] == "--media-type";
            const std::optional<int> type = parseMediaType(args[++i]);
            if (!type || (!older && *type == MediaMagneticCard))
                return fail(kExitUsage, QStringLiteral("unknown media type: %1\n%2")
                                            .arg(QString::fromStdString(args[i]), usage));
            mediaType = type;
        } else if (args[i] == "--form" && hasValue) {
            const std::optional<MediaForm> parsed = parseMediaForm(args[++i]);
            if (!parsed)
                return fail(kExitUsage, QStringLiteral("unknown form: %1\n%2")
                                            .arg(QString::fromStdString(args[i]), usage));
            form = *parsed;
        } else if (args[i] == "--") {
            ++i;
            break;
        } else if (args[i].rfind("--", 0) == 0) {
            return badArgument(args[i], {"--form", "--type", "--media-type"}, usage);
        } else {
            break;
        }
    }
    if (i >= args.size())
        return fail(kExitUsage, usage);
    if (const QString conflict = mediaFormConflict(form, mediaType); !conflict.isEmpty())
        return fail(kExitUsage, conflict + QLatin1Char('\n') + usage);

    // Every value is tried; a refused one names itself and its reason, and the run fails.
    int status = kExitOk;
    std::string out;
    for (; i < args.size(); ++i) {
        const MediaConversion converted =
            ConvertPrintedMediaId(form, args[i], mediaType.value_or(MediaIButton));
        if (converted.accepted()) {
            out += converted.mediaId;
            out += '\n';
        } else {
            status = fail(kExitFailure, QStringLiteral("'%1': %2")
                                            .arg(QString::fromLocal8Bit(args[i].c_str()),
                                                 MediaFormRefusalText(converted.refusal)));
        }
    }
    writeOut(out);
    return status;
}

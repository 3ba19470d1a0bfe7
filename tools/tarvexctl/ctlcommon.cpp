#include "ctlcommon.h"

#include "appsettings.h"
#include "mediaform.h"
#include "mediaid.h"
#include "tarvexdoc.h"
#include "workspacefile.h"
#include "workspacemessages.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>

int fail(int status, const QString& message) {
    std::fprintf(stderr, "tarvexctl: %s\n", message.toLocal8Bit().constData());
    return status;
}

bool isOption(std::string_view word) {
    return word.size() > 1 && word[0] == '-';
}

int badArgument(const std::string& word, std::initializer_list<std::string_view> valueOptions,
                const QString& usage) {
    const QString quoted =
        QLatin1Char('\'') + QString::fromLocal8Bit(word.c_str()) + QLatin1Char('\'');
    QString what;
    if (std::find(valueOptions.begin(), valueOptions.end(), word) != valueOptions.end())
        what = QStringLiteral("option %1 needs a value").arg(quoted);
    else if (isOption(word))
        what = QStringLiteral("unknown option %1").arg(quoted);
    else
        what = QStringLiteral("unexpected argument %1").arg(quoted);
    return fail(kExitUsage, what + QLatin1Char('\n') + usage);
}

void writeOut(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

QString escapeField(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString codePageSetting() {
    const auto store = CAppSettings::openStore();
    CAppSettings settings;
    settings.load(*store, QString());
    return settings.CodePage;
}

std::optional<int> parseMediaType(std::string_view name) {
    if (name == "ibutton")
        return MediaIButton;
    if (name == "rf")
        return MediaRfCard;
    if (name == "magnetic")
        return MediaMagneticCard;
    return std::nullopt;
}

std::optional<MediaForm> parseMediaForm(std::string_view name) {
    if (name == "hex")
        return MediaForm::Hex;
    if (name == "decimal")
        return MediaForm::RfDecimal;
    if (name == "w26")
        return MediaForm::Wiegand26;
    return std::nullopt;
}

QString mediaFormConflict(MediaForm form, std::optional<int> mediaType) {
    if (form == MediaForm::Hex || !mediaType || *mediaType == MediaRfCard)
        return {};
    return QStringLiteral("decimal and w26 are RF card numbers: they take no other media type");
}

std::optional<int> parseColumn(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0)
        return std::nullopt;
    return value;
}

int loadWorkspace(const QString& path, CTarvexDoc& doc) {
    const WorkspaceLoadResult loaded = CWorkspaceFile::Load(path, doc);
    if (loaded.failed())
        return fail(kExitFailure, WorkspaceLoadMessage(path, loaded));
    return kExitOk;
}

int loadWorkspaceForChange(const QString& path, CTarvexDoc& doc) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return kExitOk;
    return loadWorkspace(path, doc);
}

int saveWorkspace(const CTarvexDoc& doc, const QString& path) {
    const WorkspaceSaveResult saved = CWorkspaceFile::Save(doc, path);
    if (!saved.ok)
        return fail(kExitFailure, WorkspaceSaveMessage(path, saved));
    return kExitOk;
}

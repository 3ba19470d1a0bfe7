#include "ctlcommon.h"

#include "appsettings.h"
#include "mediaid.h"
#include "tarvexdoc.h"
#include "workspacefile.h"

#include <QFileInfo>
#include <QSettings>

#include <charconv>
#include <cstdio>
#include <memory>

int fail(int status, const QString& message) {
    std::fprintf(stderr, "tarvexctl: %s\n", message.toLocal8Bit().constData());
    return status;
}

void writeOut(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

QString codePageSetting() {
    const std::unique_ptr<QSettings> store(CAppSettings::openStore());
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

std::optional<int> parseColumn(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0)
        return std::nullopt;
    return value;
}

int loadWorkspaceForChange(const QString& path, CTarvexDoc& doc) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return kExitOk;
    const WorkspaceLoadResult loaded = CWorkspaceFile::Load(path, doc);
    if (loaded.failed())
        return fail(kExitFailure, loaded.reason);
    // Saving would replace a foreign or newer file with an almost empty workspace.
    if (loaded.status == WorkspaceLoadResult::Status::NotTarvex)
        return fail(
            kExitFailure,
            QStringLiteral("%1 is not a workspace file of this version; not changed").arg(path));
    return kExitOk;
}

#include "shellregistration.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
QString dataHome() {
    QString dir = qEnvironmentVariable("XDG_DATA_HOME");
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.local/share");
    return dir;
}

QString xmlEscape(QString s) {
    return s.toHtmlEscaped();
}

// Desktop entry values may not hold raw newlines; Exec arguments need quoting.
QString execQuote(const QString& path) {
    QString q = path;
    q.replace(QLatin1Char('\\'), QStringLiteral("\\\\\\\\"));
    q.replace(QLatin1Char('"'), QStringLiteral("\\\\\""));
    q.replace(QLatin1Char('`'), QStringLiteral("\\\\`"));
    q.replace(QLatin1Char('$'), QStringLiteral("\\\\$"));
    q.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

bool writeIfChanged(const QString& path, const QByteArray& content, bool* written) {
    *written = false;
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return true;
    existing.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(content);
    *written = out.commit();
    return *written;
}

// The desktop reads file types and handlers from caches built by these tools. They run on
// their own, so a slow one never holds up the start.
bool runDetached(const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments({folder});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}
} // namespace

QString CShellRegistration::mimeFile() {
    return dataHome() + QStringLiteral("/mime/packages/tarvex.xml");
}

QString CShellRegistration::desktopFile() {
    return dataHome() + QStringLiteral("/applications/tarvex.desktop");
}

bool CShellRegistration::registerFileType(const QString& executable, const QString& extension,
                                          const QString& typeName, const QString& appName) {
    const QString ext = extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension;
    const QString mime =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"%1\">\n"
            "    <comment>%2</comment>\n"
            "    <glob pattern=\"*.%3\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n")
            .arg(mimeType(), xmlEscape(typeName), xmlEscape(ext));
    QString name = appName;
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString desktop = QStringLiteral("[Desktop Entry]\n"
                                           "Type=Application\n"
                                           "Name=%1\n"
                                           "Exec=%2 %f\n"
                                           "MimeType=%3;\n"
                                           "Terminal=false\n"
                                           "Categories=Office;\n")
                                .arg(name, execQuote(executable), mimeType());
    bool mimeWritten = false;
    bool desktopWritten = false;
    const bool a = writeIfChanged(mimeFile(), mime.toUtf8(), &mimeWritten);
    const bool b = writeIfChanged(desktopFile(), desktop.toUtf8(), &desktopWritten);
    const QString mimeFolder = dataHome() + QStringLiteral("/mime");
    const QString appFolder = dataHome() + QStringLiteral("/applications");
    // Also when a cache is missing: an earlier start may have found no tool.
    if (a && (mimeWritten || !QFile::exists(mimeFolder + QStringLiteral("/mime.cache"))))
        runDetached(QStringLiteral("update-mime-database"), mimeFolder);
    if (b && (desktopWritten || !QFile::exists(appFolder + QStringLiteral("/mimeinfo.cache"))))
        runDetached(QStringLiteral("update-desktop-database"), appFolder);
    return a && b;
}

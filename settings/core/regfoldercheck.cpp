#include "regfoldercheck.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

CRegFolderCheck CRegFolderCheck::check(const QString& folder) {
    CRegFolderCheck result;
    if (folder.trimmed().isEmpty()) {
        result.problem = Empty;
        return result;
    }
    const QFileInfo info(folder);
    if (!info.exists()) {
        result.problem = Missing;
        return result;
    }
    if (!info.isDir()) {
        result.problem = NotAFolder;
        return result;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tarvex-probe-XXXXXX")));
    if (!probe.open()) {
        result.problem = NotWritable;
        result.detail = probe.errorString();
    }
    return result;
}

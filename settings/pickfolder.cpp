#include "pickfolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

bool PickFolder(QWidget* owner, const QString& caption, const QString& initial, QString& chosen) {
    QFileDialog dialog(owner, caption);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString start = initial.isEmpty() ? QDir::currentPath() : initial;
    // A folder that has gone still opens the dialog where it was, or as near as exists.
    QString folder = QDir::cleanPath(QDir(start).absolutePath());
    while (!QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(folder).path();
        if (up == folder)
            break;
        folder = up;
    }
    dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QFileInfo info(dialog.selectedFiles().constFirst());
    if (!info.isDir())
        return false;
    chosen = QDir::cleanPath(info.absoluteFilePath());
    return true;
}

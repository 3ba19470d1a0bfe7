#pragma once

#include <QDialog>

class QLabel;

// The About box (dialog 100): program icon, name, version, build, banner and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QString versionText() const;
    QString buildText() const;

private:
    QLabel* m_version;
    QLabel* m_build;
};

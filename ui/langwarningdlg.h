#pragma once

#include <QDialog>

class QCheckBox;

// The start-up warning (dialog 1049) shown when no language module matches the stored
// language: exclamation icon, text, "Show this warning again" and OK.
class CLangWarningDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLangWarningDlg(bool showAgain, QWidget* parent = nullptr);

    bool showAgain() const;
    QCheckBox* showAgainBox() const { return m_showAgain; }

private:
    QCheckBox* m_showAgain;
};

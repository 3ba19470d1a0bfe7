#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QListWidget;

// The Languages dialog (dialog 1048): the languages found, one to pick, and whether to warn
// when none is found. OK writes the pick to "Language"; the choice applies at the next start.
class CLanguagesDlg : public QDialog {
    Q_OBJECT
public:
    // The stored language is read now, with an empty default.
    CLanguagesDlg(const QStringList& languages, bool warnIfNone, QWidget* parent = nullptr);

    QString storedLanguage() const { return m_stored; }
    bool warnIfNone() const { return m_warn; }
    // OK picked a language other than the stored one.
    bool changed() const { return m_changed; }

    QListWidget* list() const { return m_list; }
    QCheckBox* warnBox() const { return m_warnBox; }

    void accept() override;

private:
    QString m_stored;
    bool m_warn;
    bool m_changed = false;
    QListWidget* m_list;
    QCheckBox* m_warnBox;
};

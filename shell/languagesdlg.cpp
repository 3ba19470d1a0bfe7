#include "languagesdlg.h"

#include "appsettings.h"
#include "catalogue.h"
#include "resourceids.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

using namespace res;

CLanguagesDlg::CLanguagesDlg(const QStringList& languages, bool warnIfNone, QWidget* parent)
    : QDialog(parent), m_warn(warnIfNone) {
    setObjectName(QStringLiteral("CLanguagesDlg"));
    m_stored = CAppSettings::readLanguage(*CAppSettings::openStore(), QString());

    const CCatalogue& cat = CCatalogue::instance();
    setWindowTitle(cat.dialogText(IDD_LANGUAGES, 0));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(cat.dialogText(IDD_LANGUAGES, IDC_STATIC), this));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSortingEnabled(false);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->addItems(languages);
    // The stored language, the last of equal names; else the first entry.
    int row = languages.isEmpty() ? -1 : 0;
    for (int i = 0; i < languages.size(); ++i)
        if (languages[i] == m_stored)
            row = i;
    m_list->setCurrentRow(row);
    layout->addWidget(m_list);

    m_warnBox = new QCheckBox(cat.dialogText(IDD_LANGUAGES, IDC_LANG_WARN), this);
    m_warnBox->setObjectName(QStringLiteral("warn"));
    m_warnBox->setChecked(warnIfNone);
    layout->addWidget(m_warnBox);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(cat.dialogText(IDD_LANGUAGES, IDOK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    buttons->addButton(cat.dialogText(IDD_LANGUAGES, IDCANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CLanguagesDlg::accept() {
    m_warn = m_warnBox->isChecked();
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    const QListWidgetItem* item = selected.isEmpty() ? m_list->currentItem() : selected.first();
    const QString chosen = item ? item->text() : QString();
    m_changed = chosen != m_stored;
    CAppSettings::writeLanguage(*CAppSettings::openStore(), chosen);
    QDialog::accept();
}

#include "alertsdlg.h"

#include "alertlistmodel.h"
#include "catalogue.h"
#include "resourceids.h"
#include "textformat.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace res;

CAlertsDlg::CAlertsDlg(CAlertListModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_list(new QTableView(this)), m_count(new QLabel(this)) {
    setObjectName(QStringLiteral("CAlertsDlg"));
    setWindowTitle(S(IDS_ALERTS_CAPTION));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(S(IDS_ALERTS_LIST), this);
    label->setBuddy(m_list);
    layout->addWidget(label);

    m_list->setObjectName(QStringLiteral("AlertList"));
    m_list->setModel(&m_model);
    // The label's text without its mnemonic and colon names the list.
    QString name = S(IDS_ALERTS_LIST).remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    m_list->setAccessibleName(name);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTabKeyNavigation(false);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(CAlertListModel::TimeColumn, 140);
    m_list->setColumnWidth(CAlertListModel::ControllerColumn, 110);
    layout->addWidget(m_list, 1);

    m_count->setObjectName(QStringLiteral("AlertCount"));
    layout->addWidget(m_count);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(S(IDS_ALERTS_CLOSE), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // The keyboard starts on the newest alert, the first row.
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &CAlertsDlg::showCount);
    showCount();
    resize(620, 320);
}

void CAlertsDlg::showCount() {
    m_count->setText(FormatString(IDS_ALERTS_COUNT, m_model.total()));
    if (m_model.rowCount() > 0 && !m_list->currentIndex().isValid())
        m_list->setCurrentIndex(m_model.index(0, 0));
}

#include "connectiondlg.h"

#include "adodatabase.h"
#include "boundedopen.h"
#include "catalogue.h"
#include "odbcregistry.h"
#include "resourceids.h"
#include "waitcursor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace res;

namespace {
QString text(int item) {
    return CCatalogue::instance().dialogText(IDD_DATALINK, item);
}

template <class W> W* named(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

void setComboText(QComboBox* combo, const QString& value) {
    const int index = combo->findText(value, Qt::MatchFixedString);
    combo->setCurrentIndex(index);
    if (index < 0)
        combo->setEditText(value);
}
} // namespace

CConnectionDlg::CConnectionDlg(QWidget* owner) : QDialog(owner) {
    setWindowTitle(text(0));
    auto* layout = new QVBoxLayout(this);

    auto* source = new QGridLayout;
    m_useDriver = named(new QRadioButton(text(IDC_DL_USE_DRIVER)), IDC_DL_USE_DRIVER);
    m_useDsn = named(new QRadioButton(text(IDC_DL_USE_DSN)), IDC_DL_USE_DSN);
    m_driver = named(new QComboBox, IDC_DL_DRIVER);
    m_dsn = named(new QComboBox, IDC_DL_DSN);
    for (QComboBox* combo : {m_driver, m_dsn}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    for (const COdbcDriverInfo& d : odbcInstalledDrivers())
        m_driver->addItem(d.name);
    for (const COdbcDataSourceInfo& s : odbcDataSources())
        m_dsn->addItem(s.name);
    source->addWidget(m_useDriver, 0, 0);
    source->addWidget(m_driver, 0, 1);
    source->addWidget(m_useDsn, 1, 0);
    source->addWidget(m_dsn, 1, 1);
    source->setColumnStretch(1, 1);
    layout->addLayout(source);

    auto* form = new QFormLayout;
    const auto addField = [&](int id, QLineEdit*& edit) {
        edit = named(new QLineEdit, id);
        auto* label = new QLabel(text(id));
        label->setBuddy(edit);
        form->addRow(label, edit);
    };
    addField(IDC_DL_SERVER, m_server);
    addField(IDC_DL_DATABASE, m_database);
    addField(IDC_DL_USER, m_user);
    addField(IDC_DL_PASSWORD, m_password);
    m_password->setEchoMode(QLineEdit::Password);
    m_extras = named(new QTableWidget(0, 2), IDC_DL_EXTRAS);
    m_extras->setHorizontalHeaderLabels({text(IDC_DL_EXTRA_KEY), text(IDC_DL_EXTRA_VALUE)});
    m_extras->horizontalHeader()->setStretchLastSection(true);
    m_extras->verticalHeader()->hide();
    m_extras->setMinimumHeight(90);
    auto* extrasLabel = new QLabel(text(IDC_DL_EXTRAS));
    extrasLabel->setBuddy(m_extras);
    form->addRow(extrasLabel, m_extras);
    addField(IDC_DL_RAW, m_raw);
    layout->addLayout(form);

    auto* testRow = new QHBoxLayout;
    m_test = named(new QPushButton(text(IDC_DL_TEST)), IDC_DL_TEST);
    m_test->setAutoDefault(false);
    m_result = named(new QLabel, IDC_DL_RESULT);
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testRow->addWidget(m_test, 0, Qt::AlignTop);
    testRow->addWidget(m_result, 1);
    layout->addLayout(testRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(text(IDOK));
    buttons->button(QDialogButtonBox::Cancel)->setText(text(IDCANCEL));
    layout->addWidget(buttons);
    resize(520, sizeHint().height());

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_useDriver, &QRadioButton::toggled, this, [this] { fieldsEdited(); });
    connect(m_driver, &QComboBox::currentTextChanged, this, [this] { fieldsEdited(); });
    connect(m_dsn, &QComboBox::currentTextChanged, this, [this] { fieldsEdited(); });
    for (QLineEdit* edit : {m_server, m_database, m_user, m_password})
        connect(edit, &QLineEdit::textEdited, this, [this] { fieldsEdited(); });
    connect(m_extras, &QTableWidget::itemChanged, this, [this] { fieldsEdited(); });
    connect(m_raw, &QLineEdit::textEdited, this, &CConnectionDlg::rawEdited);
    connect(m_test, &QPushButton::clicked, this, &CConnectionDlg::test);
    load(QString());
}

QString CConnectionDlg::testResult() const {
    return m_result->text();
}

void CConnectionDlg::load(const QString& text) {
    m_fields = CConnectionFields(text);
    m_result->clear();
    showFields();
    showRaw();
}

void CConnectionDlg::showRaw() {
    m_updating = true;
    m_raw->setText(m_fields.toMaskedString());
    m_maskedPassword = m_fields.password();
    m_updating = false;
}

void CConnectionDlg::showFields() {
    m_updating = true;
    const bool driver = m_fields.source() == CConnectionFields::Source::Driver;
    (driver ? m_useDriver : m_useDsn)->setChecked(true);
    m_driver->setEnabled(driver);
    m_dsn->setEnabled(!driver);
    setComboText(m_driver, m_fields.driver());
    setComboText(m_dsn, m_fields.dataSource());
    m_server->setText(m_fields.server());
    m_database->setText(m_fields.database());
    m_user->setText(m_fields.user());
    m_password->setText(m_fields.password());
    m_extras->setRowCount(0);
    for (const CConnectionFields::Attribute& a : m_fields.extras()) {
        const int row = m_extras->rowCount();
        m_extras->insertRow(row);
        m_extras->setItem(row, 0, new QTableWidgetItem(a.key));
        m_extras->setItem(row, 1, new QTableWidgetItem(a.value));
    }
    ensureEmptyExtraRow();
    m_updating = false;
}

void CConnectionDlg::ensureEmptyExtraRow() {
    // One empty row at the end is where a new key is typed.
    const int rows = m_extras->rowCount();
    const auto cell = [this](int row, int column) {
        const QTableWidgetItem* item = m_extras->item(row, column);
        return item ? item->text() : QString();
    };
    if (rows > 0 && cell(rows - 1, 0).isEmpty() && cell(rows - 1, 1).isEmpty())
        return;
    const bool was = m_updating;
    m_updating = true;
    m_extras->insertRow(rows);
    m_extras->setItem(rows, 0, new QTableWidgetItem);
    m_extras->setItem(rows, 1, new QTableWidgetItem);
    m_updating = was;
}

void CConnectionDlg::fieldsEdited() {
    if (m_updating)
        return;
    const bool driver = m_useDriver->isChecked();
    m_driver->setEnabled(driver);
    m_dsn->setEnabled(!driver);
    if (driver)
        m_fields.setDriver(m_driver->currentText().trimmed());
    else
        m_fields.setDataSource(m_dsn->currentText().trimmed());
    m_fields.setServer(m_server->text());
    m_fields.setDatabase(m_database->text());
    m_fields.setUser(m_user->text());
    m_fields.setPassword(m_password->text());
    QList<CConnectionFields::Attribute> extras;
    for (int row = 0; row < m_extras->rowCount(); ++row) {
        const QTableWidgetItem* key = m_extras->item(row, 0);
        const QTableWidgetItem* value = m_extras->item(row, 1);
        if (key)
            extras.append({key->text(), value ? value->text() : QString()});
    }
    m_fields.setExtras(extras);
    ensureEmptyExtraRow();
    showRaw();
}

void CConnectionDlg::rawEdited(const QString& text) {
    if (m_updating)
        return;
    m_fields.setMaskedText(text, m_maskedPassword);
    showFields();
}

void CConnectionDlg::test() {
    m_result->setText(S(IDS_CONNECTION_TESTING));
    m_result->repaint();
    QString error;
    bool opened = false;
    {
        const CWaitCursor wait;
        opened = OpenConnectionWithin(m_fields.toString(), m_testLimit, error) != nullptr;
    }
    m_result->setText(opened ? S(IDS_CONNECTION_SUCCEEDED) : error);
}

bool CConnectionDlg::runDialog(const QString& initial, QString& result) {
    load(initial);
    if (exec() != QDialog::Accepted)
        return false;
    result = m_fields.toString();
    return true;
}

#include "enrolwindow.h"

#include "catalogue.h"
#include "codepage.h"
#include "panetext.h"
#include "presentedmedia.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "textformat.h"
#include "userprompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace res;

namespace {
QString itemText(int item) {
    return CCatalogue::instance().dialogText(IDD_ENROL, item);
}

constexpr int kColumnItems[] = {IDC_ENROL_MEDIAID, IDC_ENROL_CONTROLLER, IDC_ENROL_TIME,
                                IDC_ENROL_LASTNAME, IDC_ENROL_FIRSTNAME};

// The cell editor that has the focus, if one is open.
QWidget* openEditor(const QTableWidget* table) {
    QWidget* focus = QApplication::focusWidget();
    // Cell editors are children of the viewport.
    return focus && focus->parentWidget() == table->viewport() ? focus : nullptr;
}

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}
} // namespace

CEnrolWindow::CEnrolWindow(Context context, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_context(std::move(context)) {
    setObjectName(QStringLiteral("CEnrolWindow"));
    setWindowTitle(itemText(0));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(itemText(IDC_ENROL_PROMPT), this);
    prompt->setObjectName(QStringLiteral("item%1").arg(IDC_ENROL_PROMPT));
    prompt->setWordWrap(true);
    layout->addWidget(prompt);

    auto* listLabel = new QLabel(itemText(IDC_ENROL_LIST), this);
    layout->addWidget(listLabel);
    m_table = new QTableWidget(0, int(std::size(kColumnItems)), this);
    m_table->setObjectName(QStringLiteral("item%1").arg(IDC_ENROL_LIST));
    QStringList headers;
    for (int item : kColumnItems)
        headers << itemText(item);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    // Typing into a name cell starts editing it; merely arriving there does not, so that a new
    // row can become the current one while nobody types.
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    m_table->setTabKeyNavigation(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(MediaIdColumn,
                            m_table->fontMetrics().horizontalAdvance(QString(18, u'D')));
    listLabel->setBuddy(m_table);
    m_table->setAccessibleName(QString(listLabel->text()).remove(QLatin1Char('&')));
    m_table->setAccessibleDescription(prompt->text());
    layout->addWidget(m_table, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_add = buttons->addButton(itemText(IDC_ENROL_ADD), QDialogButtonBox::ActionRole);
    m_add->setObjectName(QStringLiteral("item%1").arg(IDC_ENROL_ADD));
    QPushButton* close =
        buttons->addButton(itemText(IDC_ENROL_CLOSE), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("item%1").arg(IDC_ENROL_CLOSE));
    connect(m_add, &QPushButton::clicked, this, &CEnrolWindow::AddEmployees);
    connect(close, &QPushButton::clicked, this, &CEnrolWindow::close);
    layout->addWidget(buttons);
    resize(560, 320);

    connect(m_table, &QTableWidget::cellChanged, this, &CEnrolWindow::onCellChanged);
    connect(&m_context.media, &CPresentedMedia::presented, this, &CEnrolWindow::onPresented);
}

void CEnrolWindow::onPresented(const PresentedMedium& medium) {
    if (!m_enrolment.Offer(m_context.doc.Employees(), medium.mediaId, medium.controllerName,
                           medium.time))
        return;
    const bool typing = openEditor(m_table) != nullptr;
    fillTable();
    // The person holding the key types its name next, unless they are typing one already.
    if (!typing)
        m_table->setCurrentCell(m_table->rowCount() - 1, LastNameColumn);
}

void CEnrolWindow::fillTable() {
    m_filling = true;
    const std::vector<CEnrolment::Row>& rows = m_enrolment.rows();
    m_table->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const CEnrolment::Row& row = rows[size_t(r)];
        m_table->setItem(r, MediaIdColumn, fixedItem(row.mediaId));
        m_table->setItem(r, ControllerColumn, fixedItem(row.controller));
        m_table->setItem(r, TimeColumn, fixedItem(row.time));
        m_table->setItem(r, LastNameColumn, new QTableWidgetItem(row.lastName));
        m_table->setItem(r, FirstNameColumn, new QTableWidgetItem(row.firstName));
    }
    m_filling = false;
}

void CEnrolWindow::onCellChanged(int row, int column) {
    if (m_filling || (column != LastNameColumn && column != FirstNameColumn))
        return;
    auto text = [&](int c) {
        const QTableWidgetItem* item = m_table->item(row, c);
        // What the Employee dialog's fields would keep of a pasted text.
        return item ? EditInput::WithoutControls(item->text()) : QString();
    };
    m_enrolment.SetNames(row, text(LastNameColumn), text(FirstNameColumn));
}

void CEnrolWindow::AddEmployees() {
    // A name still in its editor (Add pressed by its mnemonic) is what the user sees: losing
    // the focus hands it to the cell.
    if (QWidget* editor = openEditor(m_table))
        editor->clearFocus();
    const CEnrolment::Outcome outcome = m_enrolment.AddNamed(m_context.doc);
    fillTable();
    if (!outcome.added.empty() && m_context.selectEmployees)
        m_context.selectEmployees(outcome.added);
    if (!outcome.refusal.accepted()) {
        m_context.prompts.stop(outcome.refusal.Text());
        if (outcome.refusedRow >= 0)
            m_table->setCurrentCell(outcome.refusedRow, MediaIdColumn);
    }
    if (!outcome.unmapped.IsEmpty())
        m_context.prompts.warning(outcome.unmapped.Warning(PaneText::codePage().Name()));
}

void CEnrolWindow::closeEvent(QCloseEvent* event) {
    const int started = m_enrolment.StartedRows();
    if (started > 0 && !m_context.prompts.askOkCancel(FormatString(IDS_ENROL_NOT_ADDED, started))) {
        event->ignore();
        return;
    }
    event->accept();
}

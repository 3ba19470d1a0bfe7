#include "historywindow.h"

#include "attendancemodel.h"
#include "catalogue.h"
#include "historychartview.h"
#include "historyexport.h"
#include "historyfollower.h"
#include "historyjoin.h"
#include "historymodel.h"
#include "historystore.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "textformat.h"
#include "unknownmark.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <bitset>

using namespace res;

namespace {

// The texts a column must show whole, for its width.
int widthFor(const QFontMetrics& fm, const QString& sample) {
    return fm.horizontalAdvance(sample) + 2 * fm.averageCharWidth() + 8;
}

// Enter on a table runs the first row action rather than moving down a row.
class RowKeys : public QObject {
public:
    RowKeys(QObject* parent, std::function<void()> enter) : QObject(parent), m_enter(enter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_enter();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_enter;
};

} // namespace

CHistoryWindow::CHistoryWindow(Context context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(std::move(context)),
      m_ownPrompts(std::make_unique<CDialogPrompts>()), m_prompts(m_ownPrompts.get()),
      m_store(std::make_unique<CHistoryStore>()),
      m_join(
          std::make_unique<CHistoryJoin>(m_context.codePage ? m_context.codePage() : QString())) {
    setObjectName(QStringLiteral("CHistoryWindow"));
    setWindowTitle(S(IDS_HISTORY_CAPTION));
    setAccessibleName(S(IDS_HISTORY_CAPTION));
    m_ownPrompts->setOwner(this);
    m_join->setWorkspace(m_context.workspace);
    m_follower = new CHistoryFollower(*m_store, this);

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    buildFields(grid);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    layout->addWidget(m_tabs, 1);

    m_history = new CHistoryModel(*m_store, *m_join, this);
    m_history->setColumnTitles({S(IDS_DATE), S(IDS_TIME), S(IDS_HISTORY_CONTROLLER), S(IDS_MEDIAID),
                                S(IDS_LAST_NAME), S(IDS_FIRST_NAME), S(IDS_ACTION)});
    // The same mark as the registrations list's, drawn in this window's colours.
    const auto unknownMark = [this](int role) { return UnknownMark::cellData(role, palette()); };
    m_history->setUnknownMark(unknownMark);
    m_historyTable = makeTable(m_tabs, QStringLiteral("RegistrationsTable"));
    m_historyTable->setModel(m_history);
    connect(m_historyTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CHistoryWindow::updateRowActions);
    m_historyTable->setAccessibleName(S(IDS_HISTORY_REGISTRATIONS_TAB));
    m_tabs->addTab(m_historyTable, S(IDS_HISTORY_REGISTRATIONS_TAB));

    m_attendance = new CAttendanceModel(*m_store, *m_join, this);
    m_attendance->setColumnTitles({S(IDS_DATE), S(IDS_LAST_NAME), S(IDS_FIRST_NAME), S(IDS_MEDIAID),
                                   S(IDS_HISTORY_FIRST), S(IDS_HISTORY_LAST), S(IDS_HISTORY_SPAN),
                                   S(IDS_HISTORY_COUNT_COLUMN)});
    m_attendance->setUnknownMark(unknownMark);
    m_attendanceSorted = new QSortFilterProxyModel(this);
    m_attendanceSorted->setSortRole(CAttendanceModel::SortRole);
    m_attendanceSorted->setSourceModel(m_attendance);
    m_attendanceTable = makeTable(m_tabs, QStringLiteral("AttendanceTable"));
    m_attendanceTable->setModel(m_attendanceSorted);
    connect(m_attendanceTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CHistoryWindow::updateRowActions);
    m_attendanceTable->setAccessibleName(S(IDS_HISTORY_ATTENDANCE));
    m_tabs->addTab(m_attendanceTable, S(IDS_HISTORY_ATTENDANCE));

    const QFontMetrics fm(font());
    const int date = widthFor(fm, QStringLiteral("0000-00-00"));
    const int time = widthFor(fm, QStringLiteral("00:00:00"));
    const int media = widthFor(fm, QStringLiteral("0000000000000000"));
    const int name = widthFor(fm, QStringLiteral("Wwwwwwwwwwww"));
    const int widths[] = {date, time, name, media, name, name, widthFor(fm, QStringLiteral("WWW"))};
    for (int c = 0; c < CHistoryModel::ColumnCount; ++c)
        m_historyTable->setColumnWidth(c, widths[c]);
    const int attendanceWidths[] = {date, name, name, media, time, time, time, time};
    for (int c = 0; c < CAttendanceModel::ColumnCount; ++c)
        m_attendanceTable->setColumnWidth(c, attendanceWidths[c]);

    auto* chartPage = new QWidget(m_tabs);
    auto* chartLayout = new QVBoxLayout(chartPage);
    auto* chartBar = new QHBoxLayout;
    chartLayout->addLayout(chartBar);
    auto* modeLabel = new QLabel(S(IDS_HISTORY_CHART_VIEW), chartPage);
    m_chartMode = new QComboBox(chartPage);
    m_chartMode->setObjectName(QStringLiteral("ChartMode"));
    m_chartMode->addItem(S(IDS_HISTORY_PER_HOUR));
    m_chartMode->addItem(S(IDS_HISTORY_PER_DAY));
    m_chartMode->setAccessibleName(S(IDS_HISTORY_CHART_VIEW));
    modeLabel->setBuddy(m_chartMode);
    auto* dayLabel = new QLabel(S(IDS_HISTORY_DAY), chartPage);
    m_chartDay = new QDateEdit(QDate::currentDate(), chartPage);
    m_chartDay->setObjectName(QStringLiteral("ChartDay"));
    m_chartDay->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_chartDay->setCalendarPopup(true);
    m_chartDay->setAccessibleName(S(IDS_HISTORY_DAY));
    dayLabel->setBuddy(m_chartDay);
    chartBar->addWidget(modeLabel);
    chartBar->addWidget(m_chartMode);
    chartBar->addSpacing(12);
    chartBar->addWidget(dayLabel);
    chartBar->addWidget(m_chartDay);
    chartBar->addStretch(1);
    m_chartView = new CHistoryChartView(chartPage);
    m_chartView->setObjectName(QStringLiteral("Chart"));
    chartLayout->addWidget(m_chartView, 1);
    m_tabs->addTab(chartPage, S(IDS_HISTORY_CHART));
    const auto chartChanged = [this] {
        m_chartDay->setEnabled(m_chartMode->currentIndex() == 0);
        m_stale[ChartTab] = true;
        if (m_tabs->currentIndex() == ChartTab)
            fillTab(ChartTab);
    };
    connect(m_chartMode, &QComboBox::currentIndexChanged, this, chartChanged);
    connect(m_chartDay, &QDateEdit::dateChanged, this, chartChanged);

    auto* bottom = new QHBoxLayout;
    layout->addLayout(bottom);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("Count"));
    m_count->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_count->setFocusPolicy(Qt::TabFocus);
    bottom->addWidget(m_count, 1);
    auto* exportButton = new QPushButton(S(IDS_HISTORY_EXPORT), this);
    exportButton->setObjectName(QStringLiteral("Export"));
    exportButton->setAccessibleName(S(IDS_HISTORY_EXPORT));
    connect(exportButton, &QPushButton::clicked, this, &CHistoryWindow::exportCurrentTab);
    bottom->addWidget(exportButton);

    // Several changes in one pass of the event loop (a reset of every field) filter once.
    m_apply.setSingleShot(true);
    m_apply.setInterval(0);
    connect(&m_apply, &QTimer::timeout, this, &CHistoryWindow::applyFilter);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab >= 0 && tab < 3 && m_stale[tab])
            fillTab(tab);
        updateRowActions();
    });

    connect(m_follower, &CHistoryFollower::recordsAdded, this, &CHistoryWindow::takeNewRecords);
    connect(m_follower, &CHistoryFollower::reloaded, this, &CHistoryWindow::everythingAnew);
    connect(m_follower, &CHistoryFollower::damagedLinesChanged, this, &CHistoryWindow::updateCount);

    resize(920, 600);
    reload(true);
}

CHistoryWindow::~CHistoryWindow() = default;

QTableView* CHistoryWindow::makeTable(QWidget* parent, const QString& name) {
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    // A year is a million rows: every row as high as the first, never measured one by one.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, &CHistoryWindow::showRowMenu);
    connect(table, &QAbstractItemView::doubleClicked, this, &CHistoryWindow::runFirstRowAction);
    table->installEventFilter(new RowKeys(table, [this] { runFirstRowAction(); }));
    return table;
}

void CHistoryWindow::buildFields(QGridLayout* grid) {
    const auto labelled = [this, grid](int row, int column, int textId, QWidget* field) {
        auto* label = new QLabel(S(textId), this);
        label->setBuddy(field);
        field->setAccessibleName(S(textId));
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
    };
    const auto bound = [this](const QString& name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(QStringLiteral("YYYY-MM-DD HH:MM"));
        edit->setToolTip(S(IDS_HISTORY_MOMENT_HINT));
        edit->setAccessibleDescription(S(IDS_HISTORY_MOMENT_HINT));
        edit->setClearButtonEnabled(true);
        connect(edit, &QLineEdit::textChanged, &m_apply, qOverload<>(&QTimer::start));
        return edit;
    };
    m_from = bound(QStringLiteral("From"));
    m_to = bound(QStringLiteral("To"));
    labelled(0, 0, IDS_HISTORY_FROM, m_from);
    labelled(0, 2, IDS_HISTORY_TO, m_to);

    m_controller = new QComboBox(this);
    m_controller->setObjectName(QStringLiteral("Controller"));
    connect(m_controller, &QComboBox::currentIndexChanged, &m_apply, qOverload<>(&QTimer::start));
    labelled(0, 4, IDS_HISTORY_CONTROLLER, m_controller);

    m_match = new QLineEdit(this);
    m_match->setObjectName(QStringLiteral("Match"));
    m_match->setClearButtonEnabled(true);
    connect(m_match, &QLineEdit::textChanged, &m_apply, qOverload<>(&QTimer::start));
    labelled(1, 0, IDS_HISTORY_MATCH, m_match);
    grid->addWidget(m_match, 1, 1, 1, 3);

    m_unknownOnly = new QCheckBox(S(IDS_HISTORY_UNKNOWN_ONLY), this);
    m_unknownOnly->setObjectName(QStringLiteral("UnknownOnly"));
    m_unknownOnly->setAccessibleName(S(IDS_HISTORY_UNKNOWN_ONLY));
    m_personsOnly = new QCheckBox(S(IDS_HISTORY_PERSONS_ONLY), this);
    m_personsOnly->setObjectName(QStringLiteral("PersonsOnly"));
    m_personsOnly->setAccessibleName(S(IDS_HISTORY_PERSONS_ONLY));
    connect(m_unknownOnly, &QCheckBox::toggled, &m_apply, qOverload<>(&QTimer::start));
    connect(m_personsOnly, &QCheckBox::toggled, &m_apply, qOverload<>(&QTimer::start));
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_unknownOnly);
    boxes->addWidget(m_personsOnly);
    boxes->addStretch(1);
    grid->addLayout(boxes, 1, 4, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
}

void CHistoryWindow::setPrompts(IUserPrompts* prompts) {
    m_prompts = prompts ? prompts : m_ownPrompts.get();
}

void CHistoryWindow::addRowAction(HistoryRowAction action) {
    auto* a = new QAction(action.text, this);
    const std::size_t index = m_actions.size();
    connect(a, &QAction::triggered, this, [this, index] {
        if (const std::optional<HistoryRowContext> row = currentRow();
            row && m_actions[index].appliesTo(*row))
            m_actions[index].run(*row);
    });
    m_actions.push_back(std::move(action));
    m_rowActionList.append(a);
    updateRowActions();
}

std::optional<HistoryRowContext> CHistoryWindow::currentRow() const {
    std::uint32_t media = 0;
    if (m_tabs->currentIndex() == RegistrationsTab) {
        const QModelIndex at = m_historyTable->currentIndex();
        if (!at.isValid())
            return std::nullopt;
        media = m_history->record(at.row()).media;
    } else if (m_tabs->currentIndex() == AttendanceTab) {
        const QModelIndex at = m_attendanceSorted->mapToSource(m_attendanceTable->currentIndex());
        if (!at.isValid())
            return std::nullopt;
        media = m_attendance->attendance(at.row()).media;
    } else {
        return std::nullopt;
    }
    if (media == 0)
        return std::nullopt; // a status message: no medium
    const CHistoryJoin::Medium& m = m_join->medium(media);
    return HistoryRowContext{m.mediaId, m.employee, m.unknown};
}

void CHistoryWindow::updateRowActions() {
    const std::optional<HistoryRowContext> row = currentRow();
    for (std::size_t i = 0; i < m_actions.size(); ++i)
        m_rowActionList[qsizetype(i)]->setEnabled(row && m_actions[i].appliesTo(*row));
}

void CHistoryWindow::showRowMenu(const QPoint& pos) {
    auto* table = qobject_cast<QTableView*>(sender());
    if (!table || m_actions.empty())
        return;
    if (const QModelIndex at = table->indexAt(pos); at.isValid())
        table->setCurrentIndex(at);
    if (!table->currentIndex().isValid())
        return;
    updateRowActions();
    QMenu menu(this);
    menu.addActions(m_rowActionList);
    // From the keyboard the point is wherever the pointer rests: put the menu at the row.
    const QRect cell = table->visualRect(table->currentIndex());
    const QPoint at = cell.contains(pos) ? pos : cell.bottomLeft();
    menu.exec(table->viewport()->mapToGlobal(at));
}

void CHistoryWindow::runFirstRowAction() {
    updateRowActions();
    for (QAction* a : m_rowActionList) {
        if (a->isEnabled()) {
            a->trigger();
            return;
        }
    }
}

HistoryFilter CHistoryWindow::filterFromFields() const {
    HistoryFilter f;
    const auto readBound = [](QLineEdit* edit, bool end, std::optional<RegTime>& into) {
        const QString text = edit->text().trimmed();
        into = text.isEmpty() ? std::nullopt : parseRegMoment(text, end);
        const bool bad = !text.isEmpty() && !into;
        // A bound that cannot be read limits nothing; the field says so.
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Text, bad ? QColor(200, 0, 0) : QPalette().color(QPalette::Text));
        edit->setPalette(pal);
    };
    readBound(m_from, false, f.from);
    readBound(m_to, true, f.to);
    if (const int port = m_controller->currentData().toInt(); port > 0)
        f.ports = {port};
    f.match = m_match->text().trimmed();
    f.unknownOnly = m_unknownOnly->isChecked();
    f.personsOnly = m_personsOnly->isChecked();
    return f;
}

void CHistoryWindow::applyFilter() {
    const HistoryFilter f = filterFromFields();
    if (f == m_filter && !m_stale[RegistrationsTab])
        return;
    m_filter = f;
    m_stale[AttendanceTab] = m_stale[ChartTab] = true;
    // The registrations are always current: the count line is theirs.
    fillTab(RegistrationsTab);
    if (m_tabs->currentIndex() != RegistrationsTab)
        fillTab(m_tabs->currentIndex());
}

void CHistoryWindow::fillTab(int tab) {
    switch (tab) {
    case RegistrationsTab:
        m_history->setFilter(m_filter);
        updateCount();
        break;
    case AttendanceTab: {
        CWaitCursor wait;
        m_attendance->setFilter(m_filter);
        break;
    }
    case ChartTab:
        m_chart = makeChart();
        m_chartView->setChart(m_chart);
        break;
    default:
        return;
    }
    m_stale[tab] = false;
    updateRowActions();
    emit shownChanged();
}

HistoryChart CHistoryWindow::makeChart() const {
    // The rows shown are the filter's: count them, not the store again.
    const std::vector<std::uint32_t>& records = m_history->rows();
    if (m_chartMode->currentIndex() == 0) {
        const std::optional<RegTime> day = regTimeOf(m_chartDay->date(), 0);
        return chartPerHour(*m_store, records, day ? regDay(*day) : 0);
    }
    return chartPerDay(*m_store, records, m_filter.from, m_filter.to);
}

void CHistoryWindow::takeNewRecords(qulonglong first) {
    m_join->update(*m_store);
    const std::size_t before = std::size_t(m_history->rowCount());
    m_history->takeNewRecords(first);
    if (!m_stale[AttendanceTab])
        m_attendance->takeNewRecords(first);
    if (!m_stale[ChartTab]) {
        for (const std::uint32_t i : filterHistory(*m_store, *m_join, m_filter, first))
            m_chart.add(m_store->records()[i]);
        m_chartView->setChart(m_chart);
    }
    // A port seen for the first time joins the controllers to choose from.
    for (std::size_t i = first; i < m_store->size(); ++i) {
        if (m_controller->findData(int(m_store->records()[i].port)) < 0) {
            fillControllers();
            break;
        }
    }
    if (std::size_t(m_history->rowCount()) != before)
        updateCount();
    emit shownChanged();
}

void CHistoryWindow::everythingAnew() {
    m_join->setWorkspace(m_context.workspace);
    m_join->update(*m_store);
    fillControllers();
    m_stale[RegistrationsTab] = m_stale[AttendanceTab] = m_stale[ChartTab] = true;
    applyFilter();
}

void CHistoryWindow::fillControllers() {
    const int chosen = m_controller->currentData().toInt();
    std::bitset<256> ports;
    for (const HistoryRecord& r : m_store->records())
        ports.set(r.port);
    if (m_context.workspace) {
        for (const auto& [port, record] : m_context.workspace->Controllers()) {
            if (port >= 1 && port <= 255)
                ports.set(std::size_t(port));
        }
    }
    const QSignalBlocker quiet(m_controller);
    m_controller->clear();
    m_controller->addItem(S(IDS_HISTORY_ALL_CONTROLLERS), 0);
    for (int port = 1; port < 256; ++port) {
        if (!ports.test(std::size_t(port)))
            continue;
        const QString com = QStringLiteral("COM%1").arg(port);
        const QString text = m_join->controllerText(port);
        m_controller->addItem(text == com ? com : text + QStringLiteral(" (") + com + ')', port);
    }
    m_controller->setCurrentIndex(qMax(0, m_controller->findData(chosen)));
}

void CHistoryWindow::reload(bool always) {
    const QString folder = m_context.folder ? m_context.folder() : QString();
    if (!always && folder == m_store->folder() && m_folderReadable)
        return;
    CWaitCursor wait;
    const bool following = m_follower->isFollowing();
    m_follower->stop();
    m_folderReadable = m_store->load(folder);
    everythingAnew();
    // The newest record's day is the day a chart of hours starts on.
    if (m_store->size() > 0) {
        const QSignalBlocker quiet(m_chartDay);
        m_chartDay->setDate(regDateOfDay(regDay(m_store->records().back().when)));
    }
    if (following || isVisible())
        m_follower->start();
}

bool CHistoryWindow::joinDiffers() const {
    CHistoryJoin fresh(m_context.codePage ? m_context.codePage() : QString());
    fresh.setWorkspace(m_context.workspace);
    fresh.update(*m_store);
    for (std::uint32_t media = 0; media < m_store->mediaCount(); ++media) {
        const CHistoryJoin::Medium& a = fresh.medium(media);
        const CHistoryJoin::Medium& b = m_join->medium(media);
        if (a.lastName != b.lastName || a.firstName != b.firstName || a.employee != b.employee ||
            a.unknown != b.unknown)
            return true;
    }
    for (int port = 1; port < 256; ++port) {
        if (fresh.controllerText(port) != m_join->controllerText(port))
            return true;
    }
    return false;
}

void CHistoryWindow::workspaceChanged() {
    m_join->update(*m_store);
    if (joinDiffers())
        everythingAnew();
}

QString CHistoryWindow::countText() const {
    return m_count->text();
}

void CHistoryWindow::updateCount() {
    if (!m_folderReadable) {
        m_count->setText(FormatString(IDS_HISTORY_FOLDER_UNREADABLE, m_store->folder()));
        return;
    }
    QString text = FormatString(IDS_HISTORY_COUNT, m_history->rowCount());
    if (const int damaged = m_store->damagedLines(); damaged > 0)
        text += QStringLiteral("; ") + FormatString(IDS_HISTORY_DAMAGED, damaged);
    m_count->setText(text);
    m_count->setAccessibleName(text);
}

void CHistoryWindow::exportCurrentTab() {
    const QString suggested = m_tabs->tabText(m_tabs->currentIndex()) + QStringLiteral(".csv");
    const QString path = m_prompts->saveFileName(
        S(IDS_HISTORY_EXPORT_FILTER) + QStringLiteral(";;") + S(IDS_ALL_FILES_FILTER), suggested);
    if (!path.isEmpty())
        exportCurrentTabTo(path);
}

bool CHistoryWindow::exportCurrentTabTo(const QString& path) {
    const int tab = m_tabs->currentIndex();
    if (tab >= 0 && tab < 3 && m_stale[tab])
        fillTab(tab);
    HistoryExportResult result;
    {
        CWaitCursor wait;
        if (tab == RegistrationsTab)
            result = exportCsv(path, *m_history);
        else if (tab == AttendanceTab)
            result = exportCsv(path, *m_attendanceSorted);
        else
            result =
                exportCsv(path,
                          {m_chart.mode == HistoryChart::Mode::PerHour ? S(IDS_HISTORY_HOUR)
                                                                       : S(IDS_HISTORY_DAY),
                           S(IDS_HISTORY_COUNT_COLUMN)},
                          int(m_chart.counts.size()), [this](int bar) {
                              return QStringList{m_chart.barLabel(std::size_t(bar)),
                                                 QString::number(m_chart.counts[std::size_t(bar)])};
                          });
    }
    if (result.ok)
        return true;
    m_prompts->stop(result.notRegularFile
                        ? FormatString(IDS_HISTORY_NOT_REGULAR, path)
                        : FormatString(IDS_HISTORY_EXPORT_FAILED, path, result.reason));
    return false;
}

void CHistoryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    reload();
    workspaceChanged();
    // Whatever was written while hidden, then new lines as they come.
    m_follower->look();
    m_follower->start();
}

void CHistoryWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_follower->stop();
}

void CHistoryWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Back from the main window, where employees may have been edited.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        workspaceChanged();
}

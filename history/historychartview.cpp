#include "historychartview.h"

#include "catalogue.h"
#include "resourceids.h"
#include "textformat.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

using namespace res;

namespace {
// Bars described one by one to assistive technology, up to this many that have any.
constexpr std::size_t kDescribedBars = 60;
} // namespace

CHistoryChartView::CHistoryChartView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 120);
    setAccessibleName(S(IDS_HISTORY_CHART));
}

void CHistoryChartView::setChart(const HistoryChart& chart) {
    m_chart = chart;
    setAccessibleDescription(describe());
    update();
}

QString CHistoryChartView::describe() const {
    const std::uint32_t total = m_chart.total();
    if (total == 0)
        return FormatString(IDS_HISTORY_COUNT, 0);
    const std::size_t peak = m_chart.peak();
    QString text = FormatString(IDS_HISTORY_CHART_SUMMARY, total, m_chart.counts[peak],
                                m_chart.barLabel(peak));
    QStringList bars;
    for (std::size_t i = 0; i < m_chart.counts.size() && std::size_t(bars.size()) < kDescribedBars;
         ++i) {
        if (m_chart.counts[i])
            bars << m_chart.barLabel(i) + QStringLiteral(": ") + QString::number(m_chart.counts[i]);
    }
    return text + QStringLiteral(". ") + bars.join(QStringLiteral(", "));
}

QRect CHistoryChartView::plotArea() const {
    const QFontMetrics fm(font());
    const int left = fm.horizontalAdvance(QStringLiteral("000000")) + 8;
    return rect().adjusted(left, fm.height(), -8, -2 * fm.height() - 6);
}

int CHistoryChartView::barAt(const QPoint& pos) const {
    const QRect area = plotArea();
    if (m_chart.counts.empty() || !area.contains(pos))
        return -1;
    const int bar =
        int(qint64(pos.x() - area.left()) * qint64(m_chart.counts.size()) / qMax(1, area.width()));
    return bar < int(m_chart.counts.size()) ? bar : -1;
}

bool CHistoryChartView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int bar = barAt(help->pos());
        if (bar < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(),
                               m_chart.barLabel(std::size_t(bar)) + QStringLiteral(": ") +
                                   QString::number(m_chart.counts[std::size_t(bar)]),
                               this);
        }
        return true;
    }
    return QWidget::event(event);
}

void CHistoryChartView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette pal = palette();
    p.fillRect(rect(), pal.base());
    const QRect area = plotArea();
    const QFontMetrics fm(font());
    p.setPen(pal.color(QPalette::Text));
    p.drawLine(area.bottomLeft(), area.bottomRight());
    p.drawLine(area.bottomLeft(), area.topLeft());
    const std::size_t bars = m_chart.counts.size();
    if (bars == 0 || area.width() <= 0 || area.height() <= 0)
        return;
    const std::uint32_t most = std::max(1u, m_chart.counts[m_chart.peak()]);
    p.drawText(QRect(0, area.top() - fm.height() / 2, area.left() - 4, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(most));
    p.drawText(QRect(0, area.bottom() - fm.height() / 2, area.left() - 4, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));

    const double step = double(area.width()) / double(bars);
    const QColor bar = pal.color(QPalette::Highlight);
    for (std::size_t i = 0; i < bars; ++i) {
        const int x0 = area.left() + int(double(i) * step);
        const int x1 = area.left() + int(double(i + 1) * step);
        const int h = int(qint64(area.height()) * m_chart.counts[i] / most);
        if (h > 0)
            p.fillRect(QRect(x0 + (x1 - x0 > 3 ? 1 : 0), area.bottom() - h,
                             qMax(1, x1 - x0 - (x1 - x0 > 3 ? 2 : 0)), h),
                       bar);
    }
    // As many bar labels as fit side by side, at even steps.
    const int labelWidth = fm.horizontalAdvance(m_chart.barLabel(0)) + 12;
    const std::size_t every =
        std::max<std::size_t>(1, std::size_t(std::ceil(double(labelWidth) / std::max(step, 1e-9))));
    p.setPen(pal.color(QPalette::Text));
    for (std::size_t i = 0; i < bars; i += every) {
        const int x = area.left() + int((double(i) + 0.5) * step);
        p.drawLine(x, area.bottom(), x, area.bottom() + 3);
        p.drawText(QRect(x - labelWidth / 2, area.bottom() + 4, labelWidth, fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, m_chart.barLabel(i));
    }
    const QString axis =
        m_chart.mode == HistoryChart::Mode::PerHour ? S(IDS_HISTORY_HOUR) : S(IDS_HISTORY_DAY);
    p.drawText(QRect(area.left(), area.bottom() + 4 + fm.height(), area.width(), fm.height()),
               Qt::AlignHCenter | Qt::AlignTop, axis);
}

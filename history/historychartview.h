#pragma once

#include "historychart.h"

#include <QWidget>

// Draws a history chart as bars with their counts, and tells the same as text to assistive
// technology (its accessible description) and in a bar's tool tip.
class CHistoryChartView : public QWidget {
    Q_OBJECT
public:
    explicit CHistoryChartView(QWidget* parent = nullptr);

    void setChart(const HistoryChart& chart);
    const HistoryChart& chart() const { return m_chart; }
    // The bar under a point of the widget, -1 for none.
    int barAt(const QPoint& pos) const;

    QSize sizeHint() const override { return QSize(600, 300); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect plotArea() const;
    QString describe() const;

    HistoryChart m_chart;
};

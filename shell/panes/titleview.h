#pragma once

#include <QFont>
#include <QWidget>

// Coloured title strip above a pane: highlight background, caption font,
// one left-aligned line cut with an ellipsis.
class CTitleView : public QWidget {
    Q_OBJECT
public:
    explicit CTitleView(QWidget* parent = nullptr);

    void SetTitle(int stringId);
    void SetTitle(const QString& text);
    QString title() const { return m_title; }
    const QFont& captionFont() const { return m_font; }

    // The text as painted into the current width (with an ellipsis when cut).
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return QSize(0, 0); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;

    QString m_title;
    QFont m_font;
};

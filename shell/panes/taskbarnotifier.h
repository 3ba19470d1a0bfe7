#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>

// Small skinned pop-up that slides in from the taskbar edge, stays a while
// and slides out again. Driven by three timers: 1 appearing (one step per
// tick), 2 waiting, 3 disappearing.
class CTaskbarNotifier : public QWidget {
    Q_OBJECT
public:
    enum State { Hidden = 0, Appearing = 1, Waiting = 2, Disappearing = 3 };
    enum Placement { None = 0, Top = 1, Left = 2, Right = 3, Bottom = 4 };
    enum TimerId { AppearTimer = 1, WaitTimer = 2, DisappearTimer = 3 };

    // Where the work area and the whole screen are; the primary screen by default.
    using ScreenSource = std::function<void(QRect& workArea, QRect& screen)>;

    explicit CTaskbarNotifier(QWidget* owner = nullptr);

    // Takes the skin, its size and the window shape: every pixel of the colour
    // (r, g, b) is cut away, unless one of them is -1. False for a null image.
    bool SetSkin(const QImage& skin, int r = -1, int g = -1, int b = -1);
    bool SetSkin(int bitmapId, int r = -1, int g = -1, int b = -1);
    // size in tenths of a point; styles: 1 bold, 2 italic, 4 underline. A face
    // that is not installed falls back to the system's sans font.
    void SetTextFont(const QString& face, int size, int normalStyle, int selectedStyle);
    void SetTextColor(const QColor& normal, const QColor& selected);
    void SetTextRect(const QRect& rect);

    // Shows text: times in milliseconds to slide in, to stay and to slide out.
    void Show(const QString& text, unsigned timeToShow = 500, unsigned timeToStay = 3000,
              unsigned timeToHide = 500);
    // Stops the running timer and hides the window.
    void Hide();

    // One tick of timer 1, 2 or 3. The window's own timers call it; with
    // manual timers (tests) the caller does.
    void OnTimer(int id);
    void setManualTimers(bool manual);
    bool isTimerRunning(int id) const;
    unsigned timerPeriod(int id) const;

    void setScreenSource(ScreenSource source) { m_screenSource = std::move(source); }

    State state() const { return m_state; }
    Placement placement() const { return m_placement; }
    QPoint currentPos() const { return {m_currentX, m_currentY}; }
    QPoint startPos() const { return {m_startX, m_startY}; }
    // Where the window stands when fully slid in.
    QPoint shownPos() const;
    unsigned showStep() const { return m_showStep; }
    unsigned hideStep() const { return m_hideStep; }
    QString text() const { return m_text; }
    QSize skinSize() const { return m_skin.size(); }
    QRect textRect() const { return m_textRect; }
    const QFont& normalFont() const { return m_normalFont; }
    const QFont& selectedFont() const { return m_selectedFont; }
    bool isMouseOver() const { return m_mouseOver; }
    const QRegion& shape() const { return m_shape; }

    static constexpr int kIncrement = 2;

signals:
    // The animation state changed; emitted at the moment it happens.
    void stateChanged(int state);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Not named startTimer: that would hide QObject's own for every caller of this class.
    void startNotifierTimer(int id, unsigned ms);
    void stopNotifierTimer(int id);
    void setState(State state);
    void place();
    void readScreen(QRect& work, QRect& screen) const;
    static QFont makeFont(const QString& face, int size, int style);

    QImage m_skin;
    QRegion m_shape;
    QFont m_normalFont;
    QFont m_selectedFont;
    QColor m_normalColor = Qt::black;
    QColor m_selectedColor = Qt::black;
    QRect m_textRect;
    QString m_text;
    bool m_mouseOver = false;
    State m_state = Hidden;
    Placement m_placement = None;
    unsigned m_timeToShow = 0;
    unsigned m_timeToStay = 0;
    unsigned m_timeToHide = 0;
    unsigned m_showStep = 0;
    unsigned m_hideStep = 0;
    int m_startX = 0;
    int m_startY = 0;
    int m_currentX = 0;
    int m_currentY = 0;
    QRect m_work;
    bool m_manual = false;
    std::array<bool, 4> m_running{};
    std::array<unsigned, 4> m_period{};
    std::array<QBasicTimer, 4> m_timers;
    ScreenSource m_screenSource;
};

// TTimerSpeedButton: one arrow of a spin button. A flat speed button that
// repeats its click while the left mouse button holds it down, and can draw a
// focus rectangle when its spin button has the keyboard focus.
//
// Timing of a held button: pressed at t = 0, a step at 400 ms, then one every
// 100 ms, and a last one on release if the pointer is still on the button. A
// quick click therefore gives exactly one step, on release. Dragging the pointer
// off the button draws it raised and pauses the steps; back on, they resume.
#pragma once

#include <QAbstractButton>
#include <QFlags>
#include <QPixmap>

#include <functional>

class QTimer;

class TTimerSpeedButton : public QAbstractButton {
    Q_OBJECT

public:
    // The time-button state set.
    enum TimeBtnStateFlag {
        tbFocusRect = 0x1,   // draw a focus rectangle inside the face
        tbAllowTimer = 0x2,  // repeat the click while held down
    };
    Q_DECLARE_FLAGS(TimeBtnState, TimeBtnStateFlag)

    using NotifyEvent = std::function<void(QObject* sender)>;

    static constexpr int initialRepeatDelayMs = 400;
    static constexpr int repeatIntervalMs = 100;

    explicit TTimerSpeedButton(QWidget* parent = nullptr);
    ~TTimerSpeedButton() override;

    TimeBtnState timeBtnState() const { return state_; }
    void setTimeBtnState(TimeBtnState state);

    // The picture centred on the face (transparent pixels show the face).
    const QPixmap& glyph() const { return glyph_; }
    void setGlyph(const QPixmap& glyph);

    // Called with this button as sender for every click: on release over the
    // button, on each repeat tick, and when the spin button clicks it from the
    // keyboard. May throw; the caller of Click() sees the error.
    NotifyEvent OnClick;
    // Called with this button as sender after a left-button press has drawn it down.
    NotifyEvent OnMouseDown;

    // Runs OnClick once.
    void Click();

    // What the repeat timer does at each tick: from now on tick every 100 ms,
    // and click if the button is still drawn pressed and still holds the mouse.
    // A failing click stops the timer and shows the error box.
    void timerExpired();

    // The repeat timer: none before the first press, then reused.
    QTimer* repeatTimer() const { return timer_; }

    // True from a left-button press on the button until its release (or until a
    // modal window takes the mouse away from it).
    bool hasMouseCapture() const { return captured_; }

    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void stopRepeat();
    void cancelPress();

    TimeBtnState state_;
    QPixmap glyph_;
    QTimer* timer_ = nullptr;
    bool captured_ = false;
    bool clicking_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TTimerSpeedButton::TimeBtnState)

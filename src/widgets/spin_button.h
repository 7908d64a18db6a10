// TSpinButton: the arrow pair of a spin edit. Two stacked TTimerSpeedButtons
// that report up and down clicks (OnUpClick, OnDownClick, sender = the pair).
//
// Layout, on every size change: the width is at least 15; the up button covers
// the top half (height div 2), the down button starts one row above the middle
// and runs to the bottom, so the two overlap by one row.
//
// Pressing an arrow with the left button makes it the focused arrow and moves
// the keyboard focus to FocusControl (the spin edit), or to the pair itself if it
// is a tab stop. With the focus, the pair steps on Up and Down and clicks the
// focused arrow on Space, and that arrow draws a focus rectangle.
#pragma once

#include "widgets/timer_speed_button.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class TSpinButton : public QWidget {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(QObject* sender)>;

    static constexpr int defaultWidth = 20;
    static constexpr int defaultHeight = 25;
    static constexpr int minimumWidth = 15;

    explicit TSpinButton(QWidget* parent = nullptr);
    ~TSpinButton() override;

    TTimerSpeedButton* upButton() const { return upButton_; }
    TTimerSpeedButton* downButton() const { return downButton_; }
    // The arrow that Space clicks; the up arrow at first.
    TTimerSpeedButton* focusedButton() const { return focusedButton_; }

    // The control that takes the keyboard focus when an arrow is pressed.
    QWidget* FocusControl() const { return focusControl_; }
    void setFocusControl(QWidget* control) { focusControl_ = control; }

    // The arrows' pictures. A null pixmap loads the default bitmap resource,
    // "SpinUp" or "SpinDown".
    QPixmap UpGlyph() const { return upButton_->glyph(); }
    void setUpGlyph(const QPixmap& glyph);
    QPixmap DownGlyph() const { return downButton_->glyph(); }
    void setDownGlyph(const QPixmap& glyph);

    // Whether Tab stops on the pair (false by default).
    bool TabStop() const { return focusPolicy() & Qt::TabFocus; }
    void setTabStop(bool tabStop);

    NotifyEvent OnUpClick;
    NotifyEvent OnDownClick;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TTimerSpeedButton* createButton();
    void btnClick(QObject* sender);
    void btnMouseDown(QObject* sender);
    void setFocusBtn(TTimerSpeedButton* button);
    void layoutButtons();

    TTimerSpeedButton* upButton_ = nullptr;
    TTimerSpeedButton* downButton_ = nullptr;
    TTimerSpeedButton* focusedButton_ = nullptr;
    QPointer<QWidget> focusControl_;
};

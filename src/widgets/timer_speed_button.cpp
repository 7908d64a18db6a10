#include "widgets/timer_speed_button.h"

#include "desktop/handler.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <qdrawutil.h>

#include <utility>

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent)
    : QAbstractButton(parent)
{
    // A speed button never takes the keyboard focus; its spin button does.
    setFocusPolicy(Qt::NoFocus);
    // The release over the button is the normal click.
    connect(this, &QAbstractButton::clicked, this, [this] { desktop::runHandler([this] { Click(); }); });
}

TTimerSpeedButton::~TTimerSpeedButton() = default;

void TTimerSpeedButton::setTimeBtnState(TimeBtnState state)
{
    if (state == state_)
        return;
    state_ = state;
    update();
}

void TTimerSpeedButton::setGlyph(const QPixmap& glyph)
{
    glyph_ = glyph;
    update();
}

void TTimerSpeedButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void TTimerSpeedButton::timerExpired()
{
    desktop::runHandler([this] {
        if (timer_)
            timer_->setInterval(repeatIntervalMs);
        // A click that opened a nested event loop must not be re-entered by the
        // ticks arriving meanwhile.
        if (!isDown() || !captured_ || clicking_)
            return;
        clicking_ = true;
        try {
            Click();
        } catch (...) {
            clicking_ = false;
            // Stop first: otherwise every tick would raise the same error again.
            stopRepeat();
            throw;
        }
        clicking_ = false;
    });
}

QSize TTimerSpeedButton::sizeHint() const
{
    return glyph_.isNull() ? QSize(15, 10) : glyph_.deviceIndependentSize().toSize() + QSize(6, 4);
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event)
{
    QAbstractButton::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !isDown())
        return;
    captured_ = true;
    desktop::runHandler([this] {
        if (OnMouseDown)
            OnMouseDown(this);
    });
    // OnMouseDown may move the focus, which can run handlers that open a modal
    // window; that window took the mouse, and the release will never come here.
    if (!captured_ || !(state_ & tbAllowTimer))
        return;
    if (!timer_) {
        timer_ = new QTimer(this);
        connect(timer_, &QTimer::timeout, this, [this] { timerExpired(); });
    }
    timer_->setInterval(initialRepeatDelayMs);
    timer_->start();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The normal release first: it clicks once more when the pointer is on the button.
    QAbstractButton::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        captured_ = false;
        stopRepeat();
    }
}

void TTimerSpeedButton::stopRepeat()
{
    if (timer_)
        timer_->stop();
}

void TTimerSpeedButton::cancelPress()
{
    stopRepeat();
    if (!captured_)
        return;
    captured_ = false;
    // Let the base class forget the press too: a release outside the button
    // draws it raised and clicks nothing.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1), QPointF(-1, -1), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QAbstractButton::mouseReleaseEvent(&release);
    setDown(false);
}

bool TTimerSpeedButton::event(QEvent* event)
{
    // A modal window (a message box, the error box) takes the mouse away: the
    // button must not go on stepping behind it, nor when it has closed.
    if (event->type() == QEvent::WindowBlocked)
        cancelPress();
    return QAbstractButton::event(event);
}

void TTimerSpeedButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        cancelPress();
    QAbstractButton::changeEvent(event);
}

void TTimerSpeedButton::hideEvent(QHideEvent* event)
{
    cancelPress();
    QAbstractButton::hideEvent(event);
}

void TTimerSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    const bool down = isDown();
    const QBrush face = palette().brush(QPalette::Button);
    qDrawWinButton(&painter, r, palette(), down, &face);

    if (!glyph_.isNull()) {
        QPixmap picture = glyph_;
        if (!isEnabled()) {
            QStyleOption option;
            option.initFrom(this);
            picture = style()->generatedIconPixmap(QIcon::Disabled, glyph_, &option);
        }
        const QSize g = glyph_.deviceIndependentSize().toSize();
        QPoint at((r.width() - g.width() + 1) / 2, (r.height() - g.height() + 1) / 2);
        if (down)
            at += QPoint(1, 1);
        painter.drawPixmap(at, picture);
    }

    if (state_ & tbFocusRect) {
        QRect focus = r.adjusted(3, 3, -3, -3);
        if (down)
            focus.translate(1, 1);
        QPen pen(palette().color(QPalette::WindowText));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focus.adjusted(0, 0, -1, -1));
    }
}

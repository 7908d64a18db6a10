#include "widgets/spin_button.h"

#include "platform/bitmap_resources.h"
#include "desktop/handler.h"

#include <QKeyEvent>

#include <algorithm>

namespace {

QPixmap defaultGlyph(const char* name)
{
    return QPixmap::fromImage(platform::loadBitmapResource(QString::fromLatin1(name)));
}

bool canTakeFocus(const QWidget* w)
{
    return w->isEnabled() && w->isVisible();
}

} // namespace

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // The pair sits inside a text box; it keeps the ordinary pointer.
    setCursor(Qt::ArrowCursor);

    upButton_ = createButton();
    downButton_ = createButton();
    setUpGlyph(QPixmap());
    setDownGlyph(QPixmap());
    focusedButton_ = upButton_;

    resize(defaultWidth, defaultHeight);
    layoutButtons();
}

TSpinButton::~TSpinButton() = default;

TTimerSpeedButton* TSpinButton::createButton()
{
    auto* button = new TTimerSpeedButton(this);
    button->setTimeBtnState(TTimerSpeedButton::tbAllowTimer);
    button->OnClick = [this](QObject* sender) { btnClick(sender); };
    button->OnMouseDown = [this](QObject* sender) { btnMouseDown(sender); };
    button->setVisible(true);
    button->setEnabled(true);
    return button;
}

void TSpinButton::setUpGlyph(const QPixmap& glyph)
{
    upButton_->setGlyph(glyph.isNull() ? defaultGlyph("SpinUp") : glyph);
}

void TSpinButton::setDownGlyph(const QPixmap& glyph)
{
    downButton_->setGlyph(glyph.isNull() ? defaultGlyph("SpinDown") : glyph);
}

void TSpinButton::setTabStop(bool tabStop)
{
    // Mouse presses on the arrows move the focus explicitly (btnMouseDown), so
    // the pair itself only ever takes it by Tab.
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void TSpinButton::btnClick(QObject* sender)
{
    if (sender == upButton_) {
        if (OnUpClick)
            OnUpClick(this);
    } else if (sender == downButton_) {
        if (OnDownClick)
            OnDownClick(this);
    }
}

void TSpinButton::btnMouseDown(QObject* sender)
{
    setFocusBtn(static_cast<TTimerSpeedButton*>(sender));
    QWidget* control = focusControl_;
    if (control && (control->focusPolicy() & Qt::TabFocus) && canTakeFocus(control) && !control->hasFocus())
        control->setFocus(Qt::OtherFocusReason);
    else if (TabStop() && canTakeFocus(this) && !hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void TSpinButton::setFocusBtn(TTimerSpeedButton* button)
{
    if (button == focusedButton_)
        return;
    focusedButton_->setTimeBtnState(focusedButton_->timeBtnState() & ~TTimerSpeedButton::tbFocusRect);
    focusedButton_ = button;
    if (hasFocus())
        focusedButton_->setTimeBtnState(focusedButton_->timeBtnState() | TTimerSpeedButton::tbFocusRect);
}

void TSpinButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (width() < minimumWidth) {
        resize(minimumWidth, height());  // comes back here with the wider size
        return;
    }
    layoutButtons();
}

void TSpinButton::layoutButtons()
{
    const int w = std::max(width(), minimumWidth);
    const int h = height();
    const int upHeight = h / 2;
    upButton_->setGeometry(0, 0, w, upHeight);
    downButton_->setGeometry(0, upHeight - 1, w, h - upHeight + 1);
}

void TSpinButton::keyPressEvent(QKeyEvent* event)
{
    TTimerSpeedButton* target = nullptr;
    switch (event->key()) {
    case Qt::Key_Up:
        setFocusBtn(upButton_);
        target = upButton_;
        break;
    case Qt::Key_Down:
        setFocusBtn(downButton_);
        target = downButton_;
        break;
    case Qt::Key_Space:
        target = focusedButton_;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    desktop::runHandler([target] { target->Click(); });
}

void TSpinButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    focusedButton_->setTimeBtnState(focusedButton_->timeBtnState() | TTimerSpeedButton::tbFocusRect);
}

void TSpinButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    focusedButton_->setTimeBtnState(focusedButton_->timeBtnState() & ~TTimerSpeedButton::tbFocusRect);
}

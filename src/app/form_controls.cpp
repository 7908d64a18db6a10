#include "app/form_controls.h"

#include "desktop/handler.h"
#include "platform/text_file.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace app {

namespace {

// One bevel ring of `width` pixels: light on the top and left, dark on the
// bottom and right; `r` shrinks past it.
void drawRaisedRing(QPainter& p, QRect& r, int width, const QColor& light, const QColor& dark)
{
    for (int i = 0; i < width; ++i) {
        p.setPen(light);
        p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
        p.setPen(dark);
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
}

bool isLeftPress(QEvent* e)
{
    return e->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton;
}

bool isLeftRelease(QEvent* e)
{
    return e->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton;
}

QPoint eventPos(QEvent* e)
{
    return static_cast<QMouseEvent*>(e)->position().toPoint();
}

class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* widget, std::function<void()> handler)
        : QObject(widget), widget_(widget), handler_(std::move(handler))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != widget_)
            return false;
        if (isLeftPress(event)) {
            pressed_ = true;
        } else if (isLeftRelease(event)) {
            const bool inside = widget_->rect().contains(eventPos(event));
            if (pressed_ && inside)
                desktop::runHandler(handler_);
            pressed_ = false;
        }
        return false;
    }

private:
    QWidget* widget_;
    std::function<void()> handler_;
    bool pressed_ = false;
};

class AutoSelectFilter : public QObject {
public:
    explicit AutoSelectFilter(QLineEdit* edit) : QObject(edit), edit_(edit) { edit->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == edit_ && event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // A click places the cursor; coming back to the window keeps the
            // selection the box had.
            if (reason != Qt::MouseFocusReason && reason != Qt::ActiveWindowFocusReason
                && reason != Qt::PopupFocusReason)
                edit_->selectAll();
        }
        return false;
    }

private:
    QLineEdit* edit_;
};

} // namespace

// ---- BevelPanel ---------------------------------------------------------------

BevelPanel::BevelPanel(QWidget* parent) : QWidget(parent) {}

void BevelPanel::setCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void BevelPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    QRect r = rect();
    drawRaisedRing(p, r, kBevelWidth, pal.color(QPalette::Light), pal.color(QPalette::Dark)); // outer
    drawRaisedRing(p, r, kBevelWidth, pal.color(QPalette::Light), pal.color(QPalette::Dark)); // inner
    if (!caption_.isEmpty()) {
        p.setPen(pal.color(QPalette::WindowText));
        p.setFont(font());
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption_);
    }
}

void BevelPanel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void BevelPanel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

// ---- RadioGroup ---------------------------------------------------------------

RadioGroup::RadioGroup(QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this))
{
    group_->setExclusive(true);
}

void RadioGroup::setItems(const QStringList& items)
{
    for (QRadioButton* b : buttons_)
        delete b;
    buttons_.clear();
    for (const QString& text : items) {
        auto* b = new QRadioButton(text, this);
        group_->addButton(b, static_cast<int>(buttons_.size()));
        connect(b, &QAbstractButton::toggled, this, [this, b](bool checked) { itemToggled(b, checked); });
        buttons_.push_back(b);
        b->show();
    }
    arrangeItems();
    updateTabStops();
}

QRadioButton* RadioGroup::item(int index) const
{
    return index >= 0 && index < count() ? buttons_[static_cast<std::size_t>(index)] : nullptr;
}

int RadioGroup::itemIndex() const
{
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

void RadioGroup::setItemIndex(int index)
{
    if (index < -1 || index >= count() || index == itemIndex())
        return;
    if (index == -1) {
        // An exclusive group will not let its checked button go by itself.
        group_->setExclusive(false);
        for (QRadioButton* b : buttons_)
            b->setChecked(false);
        group_->setExclusive(true);
        return;
    }
    buttons_[static_cast<std::size_t>(index)]->setChecked(true);
}

void RadioGroup::itemToggled(QAbstractButton*, bool checked)
{
    updateTabStops();
    if (checked && onChange_) {
        std::function<void()> handler = onChange_;
        desktop::runHandler(handler);
    }
}

void RadioGroup::updateTabStops()
{
    const int selected = itemIndex();
    const int tabItem = selected >= 0 ? selected : 0;
    for (int i = 0; i < count(); ++i)
        buttons_[static_cast<std::size_t>(i)]->setFocusPolicy(i == tabItem ? Qt::StrongFocus : Qt::ClickFocus);
}

void RadioGroup::arrangeItems()
{
    if (buttons_.empty())
        return;
    // One column under the (empty) caption line: the items share the height
    // below it equally, the remainder split above and below them.
    const int textHeight = QFontMetrics(font()).height();
    const int n = count();
    const int free = height() - textHeight - 5;
    const int itemHeight = free > 0 ? free / n : 0;
    const int top = textHeight + 1 + (free > 0 ? (free % n) / 2 : 0);
    const int itemWidth = width() - 10;
    for (int i = 0; i < n; ++i)
        buttons_[static_cast<std::size_t>(i)]->setGeometry(8, top + i * itemHeight, itemWidth, itemHeight);
}

void RadioGroup::resizeEvent(QResizeEvent*)
{
    arrangeItems();
}

void RadioGroup::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        arrangeItems();
    QWidget::changeEvent(event);
}

void RadioGroup::paintEvent(QPaintEvent*)
{
    // An etched frame whose top runs through the middle of the caption line.
    QPainter p(this);
    const int top = QFontMetrics(font()).height() / 2;
    const QRect outer(0, top, width() - 1, height() - top - 1);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(outer.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(outer.adjusted(1, 1, 0, 0));
}

void RadioGroup::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void RadioGroup::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

// ---- CheckingRadioButton ------------------------------------------------------

CheckingRadioButton::CheckingRadioButton(QWidget* parent) : QRadioButton(parent)
{
    // It stands alone: the program must be able to clear it.
    setAutoExclusive(false);
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        if (checked && onClick_) {
            std::function<void()> handler = onClick_;
            desktop::runHandler(handler);
        }
    });
}

void CheckingRadioButton::nextCheckState()
{
    setChecked(true);
}

// ---- FormSurface --------------------------------------------------------------

FormSurface::FormSurface(QWidget* parent) : QWidget(parent)
{
    installEventFilter(this);
}

void FormSurface::watchBackground(QWidget* other)
{
    other->installEventFilter(this);
}

bool FormSurface::onBackground(QWidget* w, const QPoint& pos) const
{
    return w->rect().contains(pos) && w->childAt(pos) == nullptr;
}

bool FormSurface::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    if (isLeftPress(event)) {
        pressedOn_ = onBackground(w, eventPos(event)) ? w : nullptr;
        return pressedOn_ != nullptr;
    }
    if (isLeftRelease(event)) {
        const bool click = pressedOn_ == w && onBackground(w, eventPos(event));
        const bool mine = pressedOn_ == w;
        pressedOn_ = nullptr;
        if (click && onClick_) {
            std::function<void()> handler = onClick_;
            desktop::runHandler(handler);
        }
        return mine;
    }
    return false;
}

// ---- helpers ------------------------------------------------------------------

void setAutoSelect(QLineEdit* edit)
{
    new AutoSelectFilter(edit);
}

void setClickHandler(QWidget* widget, std::function<void()> handler)
{
    new ClickFilter(widget, std::move(handler));
}

QValidator::State SingleByteValidator::validate(QString& input, int& pos) const
{
    const QString line = platform::toSingleLine(input);
    if (platform::hasControlCharacter(line) || !platform::canEncodeCp1252(line))
        return Invalid;
    if (line.size() != input.size() || line != input) {
        pos = static_cast<int>(platform::toSingleLine(input.left(pos)).size());
        input = line;
    }
    return Acceptable;
}

} // namespace app

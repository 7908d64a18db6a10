#include "widgets/spin_edit.h"

#include "desktop/handler.h"
#include "platform/int_conversion.h"
#include "desktop/system_beep.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr QChar kEnter(13);
constexpr QChar kBackspace(8);

// The characters a key press types, as the filter sees them: Enter is
// carriage return whichever Enter key it was; Delete types nothing (it is an
// editing key, like the arrows); Ctrl with a letter types that letter's control
// character (Ctrl+V is 22), and Ctrl with anything else types nothing.
QString typedCharacters(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QString(kEnter);
    case Qt::Key_Delete:
        return QString();
    default:
        break;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (!(mods & Qt::ControlModifier) || (mods & Qt::AltModifier))
        return event->text();
    const QString text = event->text();
    if (text.size() != 1)
        return QString();
    const char16_t c = text.front().unicode();
    if (c < 32)
        return text;
    if ((c >= u'@' && c <= u'_') || (c >= u'a' && c <= u'z'))
        return QString(QChar(c & 0x1F));
    return QString();
}

std::int32_t saturate(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

TSpinEdit::TSpinEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // The text sits at the top left of its formatting rectangle, which stops
    // short of the arrows.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setText(QStringLiteral("0"));

    button_ = new TSpinButton(this);
    button_->resize(15, 17);
    button_->setFocusControl(this);
    button_->OnUpClick = [this](QObject* sender) { UpClick(sender); };
    button_->OnDownClick = [this](QObject* sender) { DownClick(sender); };

    connect(this, &QLineEdit::textChanged, this, [this] { textWasChanged(); });

    resize(121, 25);
    if (autoSize_)
        resize(width(), minimumEditHeight());
    layoutEdit();
}

TSpinEdit::~TSpinEdit() = default;

std::int32_t TSpinEdit::Value() const
{
    return platform::tryTextToInt(text()).value_or(minValue_);
}

void TSpinEdit::setValue(std::int32_t value)
{
    setTextFromProgram(QString::number(CheckValue(value)));
}

std::int32_t TSpinEdit::CheckValue(std::int32_t value) const
{
    if (minValue_ == maxValue_)
        return value;
    if (value < minValue_)
        return minValue_;
    if (value > maxValue_)
        return maxValue_;
    return value;
}

void TSpinEdit::UpClick(QObject*)
{
    step(increment_);
}

void TSpinEdit::DownClick(QObject*)
{
    step(-static_cast<std::int64_t>(increment_));
}

void TSpinEdit::step(std::int64_t delta)
{
    if (readOnly_) {
        desktop::systemBeep();
        return;
    }
    // Without limits a step past the 32-bit range stops at its end instead of
    // wrapping round to the other sign.
    setValue(saturate(static_cast<std::int64_t>(Value()) + delta));
}

bool TSpinEdit::IsValidChar(QChar key) const
{
    const char16_t c = key.unicode();
    if (c == u'+' || c == u'-' || (c >= u'0' && c <= u'9'))
        return true;
    const QString separator = QLocale().decimalPoint();
    if (separator.size() == 1 && key == separator.front())
        return true;
    return c < 32 && key != kEnter;
}

bool TSpinEdit::acceptsTypedChar(QChar key) const
{
    if (!IsValidChar(key))
        return false;
    if (!editorEnabled_ && (key.unicode() >= 32 || key == kBackspace || key.unicode() == 46))
        return false;
    return true;
}

void TSpinEdit::setEditorEnabled(bool enabled)
{
    editorEnabled_ = enabled;
    applyEditState();
}

void TSpinEdit::setReadOnly(bool on)
{
    readOnly_ = on;
    applyEditState();
}

void TSpinEdit::applyEditState()
{
    // With the editor disabled the line edit itself refuses every edit (paste,
    // cut, Delete, undo, drops, its context menu), while setValue still works.
    QLineEdit::setReadOnly(readOnly_ || !editorEnabled_);
}

void TSpinEdit::setAutoSize(bool on)
{
    autoSize_ = on;
    if (autoSize_)
        resize(width(), minimumEditHeight());
}

int TSpinEdit::minimumEditHeight() const
{
    const int h = QFontMetrics(font()).height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    return h + std::min(h, systemHeight) / 4 + 4 * systemBorderHeight + 2;
}

void TSpinEdit::setTextFromProgram(const QString& newText)
{
    std::exception_ptr outer = std::exchange(changeError_, nullptr);
    ++programChangeDepth_;
    setText(newText);
    --programChangeDepth_;
    if (std::exception_ptr error = std::exchange(changeError_, outer))
        std::rethrow_exception(error);
}

void TSpinEdit::textWasChanged()
{
    const auto notify = [this] {
        if (OnChange)
            OnChange(this);
    };
    if (programChangeDepth_ == 0) {
        // The user's own edit: this is an event handler of its own.
        desktop::runHandler(notify);
        return;
    }
    // A change the program made: the error belongs to whoever made it, but it
    // must not unwind through the line edit's internals.
    try {
        notify();
    } catch (...) {
        if (!changeError_)
            changeError_ = std::current_exception();
    }
}

void TSpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        const bool up = event->key() == Qt::Key_Up;
        desktop::runHandler([this, up] {
            if (up)
                UpClick(this);
            else
                DownClick(this);
        });
        QLineEdit::keyPressEvent(event);
        // The box has used the key: it must not travel on to a scrolling parent.
        event->accept();
        return;
    }
    const QString typed = typedCharacters(event);
    for (const QChar c : typed) {
        if (!acceptsTypedChar(c)) {
            event->accept();
            desktop::systemBeep();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Text composed by an input method is typed text: same filter.
    const QString commit = event->commitString();
    if (std::all_of(commit.begin(), commit.end(), [this](QChar c) { return acceptsTypedChar(c); })) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    desktop::systemBeep();
    QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&withoutCommit);
}

void TSpinEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::MouseFocusReason:        // the press places the cursor itself
    case Qt::ActiveWindowFocusReason: // coming back from another window is no entry
    case Qt::PopupFocusReason:
        return;
    default:
        break;
    }
    if (autoSelect_)
        selectAll();
    else
        deselect();
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Only leaving for another control of this window counts as leaving the box.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    desktop::runHandler([this] {
        const std::int32_t value = Value();
        if (CheckValue(value) != value)
            setValue(value);
    });
}

void TSpinEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    const int minimum = minimumEditHeight();
    if (height() < minimum)
        resize(width(), minimum);
    layoutEdit();
}

void TSpinEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        if (autoSize_ && height() != minimumEditHeight())
            resize(width(), minimumEditHeight());
        layoutEdit();
    }
}

int TSpinEdit::clientInset() const
{
    // The sunken 3-D frame of an edit box is two pixels on each side; the arrow
    // pair and the formatting rectangle are measured inside it.
    return hasFrame() ? 2 : 0;
}

void TSpinEdit::layoutEdit()
{
    if (!button_)
        return;
    const int inset = clientInset();
    const int arrowWidth = button_->width();
    if (hasFrame())
        button_->setGeometry(inset + width() - arrowWidth - 5, inset, arrowWidth, height() - 5);
    else
        button_->setGeometry(width() - arrowWidth, 0, arrowWidth, height());

    // The formatting rectangle ends two pixels short of the arrows' column:
    // right = client width - arrow width - 2, in client coordinates.
    const int clientWidth = width() - 2 * inset;
    const int formattingRight = inset + clientWidth - arrowWidth - 2;
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int rightMargin = std::max(0, contents.right() + 1 - formattingRight);
    const QMargins margins(0, 0, rightMargin, 0);
    if (textMargins() != margins)
        setTextMargins(margins);
}

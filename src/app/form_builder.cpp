#include "app/form_builder.h"

#include "desktop/focus_router.h"
#include "desktop/handler.h"
#include "desktop/window_activation.h"
#include "widgets/spin_edit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace app {

namespace {

// Windows' sizeable frame around the client area of a window with a caption;
// the design's restored size is the outer size.
constexpr int kFrameSide = 4;
constexpr int kFrameTop = 23;
constexpr int kFrameBottom = 4;

const ControlDesign* findDesign(const FormDesign& design, const char* name)
{
    for (const ControlDesign& c : design.controls)
        if (std::string_view(c.name) == name)
            return &c;
    return nullptr;
}

void applyFont(QWidget* w, const FontDesign& font)
{
    w->setFont(fontFromDesign(font));
    QPalette pal = w->palette();
    const QColor colour = QColor::fromRgb(font.colour);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(role, colour);
    w->setPalette(pal);
}

QWidget* createControl(const ControlDesign& c, QWidget* parent)
{
    const QString text = QString::fromUtf8(c.text ? c.text : "");
    switch (c.kind) {
    case ControlKind::Panel: {
        auto* p = new BevelPanel(parent);
        p->setCaption(text);
        return p;
    }
    case ControlKind::Label: {
        auto* l = new QLabel(parent);
        l->setTextFormat(Qt::PlainText);
        l->setText(text);
        return l;
    }
    case ControlKind::Edit:
    case ControlKind::MaskEdit: {
        auto* e = new QLineEdit(parent);
        e->setText(text);
        e->setReadOnly(c.readOnly);
        e->setValidator(new SingleByteValidator(e));
        setAutoSelect(e);
        if (c.kind == ControlKind::MaskEdit)
            e->setMaxLength(32767);  // as long as Qt allows: the box has no limit
        return e;
    }
    case ControlKind::Memo: {
        auto* m = new QPlainTextEdit(parent);
        m->setLineWrapMode(QPlainTextEdit::NoWrap);
        m->setPlainText(text);
        return m;
    }
    case ControlKind::Button:
        return new QPushButton(text, parent);
    case ControlKind::RadioGroup: {
        auto* g = new RadioGroup(parent);
        g->setItems(QString::fromUtf8(c.items ? c.items : "").split(QLatin1Char('\n'), Qt::SkipEmptyParts));
        return g;
    }
    case ControlKind::RadioButton: {
        auto* b = new CheckingRadioButton(parent);
        b->setText(text);
        return b;
    }
    case ControlKind::SpinEdit: {
        auto* s = new TSpinEdit(parent);
        s->setAutoSize(false);
        s->setMinValue(c.spin.minValue);
        s->setMaxValue(c.spin.maxValue);
        // Before any change handler is bound: the start value reports nothing.
        s->setValue(c.spin.value);
        return s;
    }
    }
    throw std::logic_error("unknown control kind");
}

void setFocusPolicyFor(QWidget* w, const ControlDesign& c)
{
    switch (c.kind) {
    case ControlKind::Panel:
    case ControlKind::Label:
    case ControlKind::RadioGroup:  // its items take the focus
        w->setFocusPolicy(Qt::NoFocus);
        break;
    case ControlKind::Memo:
        w->setFocusPolicy(c.tabStop ? Qt::StrongFocus : (c.visible ? Qt::ClickFocus : Qt::NoFocus));
        break;
    default:
        // A control that is no tab stop still takes the focus when clicked.
        w->setFocusPolicy(c.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        break;
    }
}

// The focusable widgets under `parentName` in tab order, containers expanded
// in place.
void collectTabChain(const FormDesign& design, const BuiltForm& form, const char* parentName,
                     std::vector<QWidget*>& chain)
{
    std::vector<const ControlDesign*> children;
    for (const ControlDesign& c : design.controls) {
        const bool same = (parentName == nullptr && c.parent == nullptr)
            || (parentName && c.parent && std::string_view(parentName) == c.parent);
        if (same)
            children.push_back(&c);
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const ControlDesign* a, const ControlDesign* b) { return a->tabOrder < b->tabOrder; });
    for (const ControlDesign* c : children) {
        QWidget* w = form.control(c->name);
        switch (c->kind) {
        case ControlKind::Panel:
            collectTabChain(design, form, c->name, chain);
            break;
        case ControlKind::RadioGroup: {
            auto* g = static_cast<RadioGroup*>(w);
            for (int i = 0; i < g->count(); ++i)
                chain.push_back(g->item(i));
            break;
        }
        case ControlKind::Label:
            break;
        default:
            if (w->focusPolicy() != Qt::NoFocus)
                chain.push_back(w);
            break;
        }
    }
}

} // namespace

QFont fontFromDesign(const FontDesign& font)
{
    QFont f(QString::fromUtf8(font.face));
    f.setPixelSize(font.height);
    f.setBold(font.bold);
    return f;
}

QWidget* BuiltForm::control(const std::string& name) const
{
    auto it = controls.find(name);
    if (it == controls.end())
        throw std::logic_error("the form has no control " + name);
    return it->second;
}

BuiltForm buildForm(QWidget* window, const FormDesign& design)
{
    BuiltForm form;

    window->setWindowTitle(QString::fromUtf8(design.caption));
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(design.colour));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
    applyFont(window, design.font);
    window->setGeometry(design.left + kFrameSide, design.top + kFrameTop,
                        design.width - 2 * kFrameSide, design.height - kFrameTop - kFrameBottom);
    if (design.maximized)
        window->setWindowState(Qt::WindowMaximized);

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    form.scrollArea = new QScrollArea(window);
    form.scrollArea->setFrameShape(QFrame::NoFrame);
    form.scrollArea->setFocusPolicy(Qt::NoFocus);
    form.scrollArea->setWidgetResizable(false);
    form.scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    form.scrollArea->viewport()->setAutoFillBackground(true);
    form.scrollArea->viewport()->setPalette(pal);
    layout->addWidget(form.scrollArea);

    form.surface = new FormSurface;
    form.surface->setFixedSize(design.contentWidth, design.contentHeight);
    form.surface->setAutoFillBackground(true);
    form.scrollArea->setWidget(form.surface);
    form.surface->watchBackground(form.scrollArea->viewport());

    // Parents before children: the design lists the window's own controls
    // first, but do not rely on it.
    std::vector<const ControlDesign*> pending;
    for (const ControlDesign& c : design.controls)
        pending.push_back(&c);
    while (!pending.empty()) {
        bool progressed = false;
        for (auto it = pending.begin(); it != pending.end();) {
            const ControlDesign& c = **it;
            QWidget* parent = nullptr;
            if (!c.parent) {
                parent = form.surface;
            } else if (auto p = form.controls.find(c.parent); p != form.controls.end()) {
                parent = p->second;
            } else if (!findDesign(design, c.parent)) {
                throw std::logic_error(std::string("control ") + c.name + " names an unknown parent");
            }
            if (!parent) {
                ++it;
                continue;
            }
            QWidget* w = createControl(c, parent);
            w->setObjectName(QString::fromUtf8(c.name));
            if (c.font)
                applyFont(w, *c.font);
            setFocusPolicyFor(w, c);
            if (c.kind == ControlKind::Label) {
                // Labels size themselves to their text. The design holds the
                // size the text had in its own font; a font that draws the text
                // wider (or taller) grows the label rather than clip the text.
                const QFontMetrics fm(w->font());
                const int textWidth = fm.horizontalAdvance(static_cast<QLabel*>(w)->text());
                w->setGeometry(c.left, c.top, std::max(c.width, textWidth), std::max(c.height, fm.height()));
            } else {
                w->setGeometry(c.left, c.top, c.width, c.height);
            }
            w->setVisible(c.visible);
            form.controls[c.name] = w;
            it = pending.erase(it);
            progressed = true;
        }
        if (!progressed)
            throw std::logic_error("the design's parents form a loop");
    }

    // Stacking: controls placed on the window lie over the panels.
    for (const ControlDesign& c : design.controls)
        if (!c.parent && c.kind != ControlKind::Panel)
            form.control(c.name)->raise();

    collectTabChain(design, form, nullptr, form.tabChain);
    for (std::size_t i = 1; i < form.tabChain.size(); ++i)
        QWidget::setTabOrder(form.tabChain[i - 1], form.tabChain[i]);
    return form;
}

void bindEvent(QWidget* window, const BuiltForm& form, const FormDesign& design,
               desktop::FocusRouter& router, const EventBinding& binding, std::function<void()> handler)
{
    auto unsupported = [&] {
        throw std::logic_error(std::string("event not available on ") + (binding.control ? binding.control : "the window"));
    };

    if (!binding.control) {
        switch (binding.event) {
        case FormEvent::Create:
            return;  // run by the form once everything is bound
        case FormEvent::Activate:
            desktop::setActivationHandler(window, std::move(handler));
            return;
        case FormEvent::Click:
            form.surface->setBackgroundClickHandler(std::move(handler));
            return;
        default:
            unsupported();
        }
    }

    const ControlDesign* c = findDesign(design, binding.control);
    if (!c)
        throw std::logic_error(std::string("no control ") + binding.control);
    QWidget* w = form.control(binding.control);

    switch (binding.event) {
    case FormEvent::Enter:
        router.setEnterHandler(w, std::move(handler));
        return;
    case FormEvent::Exit:
        router.setExitHandler(w, std::move(handler));
        return;
    case FormEvent::Click:
        switch (c->kind) {
        case ControlKind::Button:
            QObject::connect(static_cast<QPushButton*>(w), &QPushButton::clicked, w,
                             desktop::handlerSlot(std::move(handler)));
            return;
        case ControlKind::RadioGroup:
            static_cast<RadioGroup*>(w)->setChangeHandler(std::move(handler));
            return;
        case ControlKind::RadioButton:
            static_cast<CheckingRadioButton*>(w)->setClickHandler(std::move(handler));
            return;
        case ControlKind::Edit:
        case ControlKind::MaskEdit:
        case ControlKind::Panel:
        case ControlKind::Label:
            setClickHandler(w, std::move(handler));
            return;
        default:
            unsupported();
        }
        return;
    case FormEvent::Change:
        switch (c->kind) {
        case ControlKind::SpinEdit:
            static_cast<TSpinEdit*>(w)->OnChange = [handler = std::move(handler)](QObject*) {
                desktop::runHandler(handler);
            };
            return;
        case ControlKind::Edit:
        case ControlKind::MaskEdit:
            QObject::connect(static_cast<QLineEdit*>(w), &QLineEdit::textChanged, w,
                             desktop::handlerSlot(std::move(handler)));
            return;
        default:
            unsupported();
        }
        return;
    case FormEvent::Create:
    case FormEvent::Activate:
        unsupported();
    }
}

} // namespace app

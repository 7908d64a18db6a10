// A form's design as data: the window's properties, its controls with their
// positions, texts, fonts and tab settings, and which handler each event runs.
// A form is built from its design when it is created (see form_builder.h).
#pragma once

#include <QRgb>

#include <span>

namespace app {

struct FontDesign {
    const char* face;
    int height;  // character height in pixels
    bool bold;
    QRgb colour;
};

enum class ControlKind {
    Panel,        // bevelled panel with a centred caption; a container
    Label,        // sizes itself to its text
    Edit,         // single-line edit box
    MaskEdit,     // edit box with an (unused) edit mask and no length limit
    Memo,         // multi-line text box
    Button,       // push button
    RadioGroup,   // a container of radio items, one selected or none
    RadioButton,  // stand-alone radio button
    SpinEdit,     // whole-number box with arrow buttons
};

struct SpinDesign {
    int minValue;
    int maxValue;
    int value;
};

struct ControlDesign {
    const char* name;
    ControlKind kind;
    const char* parent;       // nullptr: placed on the window itself
    int left, top, width, height;  // relative to the parent's client area
    const char* text;         // caption, start text or (Memo) nothing
    const FontDesign* font;   // nullptr: the parent's font
    bool tabStop;
    int tabOrder;             // position among the parent's controls
    bool readOnly = false;
    bool visible = true;
    const char* items = nullptr;   // radio group: items separated by '\n'
    SpinDesign spin = {};
};

enum class FormEvent {
    Create,    // the form has been built
    Activate,  // the form becomes the program's active form
    Click,
    Enter,     // the focus comes into the control (or container)
    Exit,      // the focus leaves it
    Change,    // the control's text changed
};

struct EventBinding {
    const char* control;  // nullptr: the window itself
    FormEvent event;
    const char* handler;
};

struct FormDesign {
    const char* caption;
    QRgb colour;
    FontDesign font;
    int left, top, width, height;   // restored position and outer size
    bool maximized;
    int contentWidth, contentHeight;  // scroll bars appear below this client size
    std::span<const ControlDesign> controls;
    std::span<const EventBinding> events;
};

} // namespace app

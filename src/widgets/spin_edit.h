// TSpinEdit: a whole-number entry box with a pair of small arrows at its right
// edge. The main window uses one, SpinEdit1, for the print offset:
//
//     auto* spin = new TSpinEdit(Panel6);
//     spin->setGeometry(536, 8, 49, 26);
//     spin->setAutoSize(false);
//     spin->setMinValue(-10);
//     spin->setMaxValue(20);
//     spin->setValue(3);                  // before OnChange: the start value reports nothing
//     spin->OnChange = [](QObject* sender) { ... SpinEdit1Change(sender) ... };
//
// The value lives only in the text. Value() parses the text with the program's
// shared integer conversion and gives MinValue for text that does not convert
// ("", "-", "1.5", out of range); it does not clamp. setValue() writes the clamped
// number as text. When MinValue equals MaxValue there is no limit at all.
//
// Typing: only "+", "-", digits, the locale's decimal separator and control
// characters other than Enter get through; anything else (Enter and letters
// included) is dropped with the system beep. Signs are not checked for position,
// so "5-" can be typed (and reads as MinValue). Pasted text is not filtered.
// With EditorEnabled false the text cannot be typed, pasted, cut or deleted at
// all; only the arrows (mouse or Up/Down keys) change it.
//
// OnChange (sender = the box) runs after every change of the text: the user's
// typing, deleting, pasting and cutting, and the program's own changes (arrow
// steps, clamping when the focus leaves the box). Setting the same text again
// reports nothing. Errors thrown by OnChange during an arrow step reach that
// step's caller; during typing they go to the error box.
//
// MaxLength, alignment, colours and fonts are the line edit's own.
//
// Leaving the box clamps a number outside the limits to the nearer limit (which
// changes the text, so OnChange runs again); text that does not convert reads as
// MinValue, which is within the limits, and stays as typed.
#pragma once

#include "widgets/spin_button.h"

#include <QLineEdit>

#include <cstdint>
#include <exception>
#include <functional>

class TSpinEdit : public QLineEdit {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(QObject* sender)>;

    // The system's border height (one pixel) used in the minimum-height rule.
    static constexpr int systemBorderHeight = 1;

    explicit TSpinEdit(QWidget* parent = nullptr);
    ~TSpinEdit() override;

    // Lower limit; also the value of text that does not convert. Default 0.
    std::int32_t MinValue() const { return minValue_; }
    void setMinValue(std::int32_t value) { minValue_ = value; }
    // Upper limit. Default 0.
    std::int32_t MaxValue() const { return maxValue_; }
    void setMaxValue(std::int32_t value) { maxValue_ = value; }
    // Step of one arrow click or arrow key. Default 1.
    std::int32_t Increment() const { return increment_; }
    void setIncrement(std::int32_t value) { increment_ = value; }
    // When false the user cannot type, paste, cut or delete. Default true.
    bool EditorEnabled() const { return editorEnabled_; }
    void setEditorEnabled(bool enabled);

    // The text read as an integer (MinValue when it does not convert).
    std::int32_t Value() const;
    // Replaces the text with CheckValue(value); OnChange runs if the text changes.
    // Rethrows an error raised by OnChange.
    void setValue(std::int32_t value);
    // `value` clamped to MinValue..MaxValue, or unchanged when they are equal.
    std::int32_t CheckValue(std::int32_t value) const;

    // One step up or down from Value(); on a read-only box, a beep and nothing else.
    // The arrows call these with the arrow pair as sender.
    virtual void UpClick(QObject* sender);
    virtual void DownClick(QObject* sender);

    // The filter for typed characters (before the EditorEnabled rule).
    virtual bool IsValidChar(QChar key) const;

    // Select the whole text when the focus comes in other than by a mouse press
    // on the text. Default true.
    bool AutoSelect() const { return autoSelect_; }
    void setAutoSelect(bool on) { autoSelect_ = on; }

    // Keep the height at the minimum for the font. Default true; SpinEdit1 has it off.
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);

    // Read-only: no editing at all, and the arrows beep instead of stepping.
    // Use these, not QLineEdit's setReadOnly: the line edit is also kept
    // read-only while EditorEnabled is false.
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool on);

    NotifyEvent OnChange;

    // The arrow pair (15 wide), a child of the box at its right edge.
    TSpinButton* Button() const { return button_; }

    // The smallest height the box keeps for its font: the font's cell height h,
    // plus min(h, the application font's cell height) div 4, plus 4 system border
    // heights, plus 2.
    int minimumEditHeight() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void textWasChanged();
    void setTextFromProgram(const QString& text);
    void applyEditState();
    void step(std::int64_t delta);
    void layoutEdit();
    int clientInset() const;
    bool acceptsTypedChar(QChar key) const;

    std::int32_t minValue_ = 0;
    std::int32_t maxValue_ = 0;
    std::int32_t increment_ = 1;
    bool editorEnabled_ = true;
    bool autoSelect_ = true;
    bool autoSize_ = true;
    bool readOnly_ = false;
    TSpinButton* button_ = nullptr;

    // While the program itself sets the text, an error thrown by OnChange is
    // held here and rethrown once the line edit has finished its change.
    int programChangeDepth_ = 0;
    std::exception_ptr changeError_;
};

// The standard controls of the main window that Qt has no exact match for:
// a panel with raised bevels and a centred caption, a radio group whose
// selection change is one event, a radio button that a click only ever checks,
// the window's own surface (whose bare background can be clicked), and a box
// filter that refuses characters the detail file cannot store.
#pragma once

#include <QLineEdit>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QValidator>
#include <QWidget>

#include <functional>
#include <vector>

class QButtonGroup;

namespace app {

// A panel: the button-face colour, a raised outer and a raised inner bevel of
// two pixels each, and its caption centred in its own font.
class BevelPanel : public QWidget {
public:
    static constexpr int kBevelWidth = 2;

    explicit BevelPanel(QWidget* parent = nullptr);
    void setCaption(const QString& caption);
    QString caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // A click on a panel is the panel's, not the window background's.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString caption_;
};

// A radio group: an etched frame holding one column of radio items. Its
// selected index is -1 (none) or the checked item's position. The change
// handler runs whenever an item becomes selected, by the user (mouse, arrow
// keys) or by setItemIndex; setting the index it already has runs nothing.
// Only the selected item (the first one while none is) is a tab stop, so Tab
// visits the group once.
class RadioGroup : public QWidget {
public:
    explicit RadioGroup(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    int count() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* item(int index) const;

    int itemIndex() const;
    void setItemIndex(int index);

    void setChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void arrangeItems();
    void updateTabStops();
    void itemToggled(QAbstractButton* button, bool checked);

    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    std::function<void()> onChange_;
};

// A stand-alone radio button. A click checks it (a click while checked changes
// nothing); only the program clears it. The click handler runs each time it
// changes from cleared to checked, however that came about. It is a tab stop
// while checked; once cleared after having been checked, it no longer is.
class CheckingRadioButton : public QRadioButton {
public:
    explicit CheckingRadioButton(QWidget* parent = nullptr);
    void setClickHandler(std::function<void()> handler) { onClick_ = std::move(handler); }

protected:
    void nextCheckState() override;

private:
    std::function<void()> onClick_;
};

// The window's content: a click on its bare background (no control under the
// pointer at press and at release) runs the background click handler.
class FormSurface : public QWidget {
public:
    explicit FormSurface(QWidget* parent = nullptr);
    void setBackgroundClickHandler(std::function<void()> handler) { onClick_ = std::move(handler); }

    // Lets a press and release on `other` (the area around the content) count too.
    void watchBackground(QWidget* other);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool onBackground(QWidget* w, const QPoint& pos) const;
    std::function<void()> onClick_;
    QWidget* pressedOn_ = nullptr;
};

// Runs a handler on a left-button click (press and release inside) of a widget
// that has no click of its own, such as an edit box.
void setClickHandler(QWidget* widget, std::function<void()> handler);

// Selects the whole text of an edit box whenever the focus comes into it other
// than by a mouse click (Tab, or the program giving it the focus), so that
// what the user types replaces it.
void setAutoSelect(QLineEdit* edit);

// Keeps a single-line box to what one line of the detail file can hold: pasted
// line breaks and tabs become single spaces; text with another control character
// or a character that the single-byte code page has no byte for is refused.
// What the user sees is what is written and printed.
class SingleByteValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

} // namespace app

// The spin edit as the main window's print offset (-10..20, value 3, 49 x 26,
// bold 13-pixel Arial), on a small window with one other box to move the focus
// to. As a text box: reading and writing the value, the character filter,
// clamping on exit, paste and cut, the editor and read-only switches, its
// minimum height. Its arrows: clicks, the held-down repeat (driven tick by tick,
// and once by its own timer), and what it looks like. Beeps, OnChange calls and error
// boxes are recorded instead of shown.
#include "support/fake_user_interface.h"
#include "desktop/error_box.h"
#include "widgets/spin_edit.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <limits>
#include <vector>

namespace {

struct Change {
    QString text;
    std::int32_t value;
    bool operator==(const Change&) const = default;
};
void PrintTo(const Change& c, std::ostream* os) { *os << '"' << c.text.toStdString() << "\"=" << c.value; }

class SpinFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(200, 60);
        other = new QLineEdit(&window);
        other->setGeometry(100, 8, 80, 26);
        spin = new TSpinEdit(&window);
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        font.setPixelSize(13);
        spin->setFont(font);
        spin->setAutoSize(false);
        spin->setGeometry(8, 8, 49, 26);
        spin->setMinValue(-10);
        spin->setMaxValue(20);
        spin->setValue(3);
        spin->OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, spin);
            changes.push_back({spin->text(), spin->Value()});
        };
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Focus into the box as Tab would bring it (the whole text selected).
    void enterBox() { spin->setFocus(Qt::TabFocusReason); }
    void leaveBox() { other->setFocus(Qt::TabFocusReason); }

    TTimerSpeedButton* upArrow() const { return spin->Button()->upButton(); }
    TTimerSpeedButton* downArrow() const { return spin->Button()->downButton(); }

    QWidget window;
    TSpinEdit* spin = nullptr;
    QLineEdit* other = nullptr;
    std::vector<Change> changes;
    // The beeps and error boxes, as the fake user interface counted them.
    int& beeps = testsupport::ui().beeps;
    QStringList& errors = testsupport::ui().errors;
};

using SpinEdit = SpinFixture;
using SpinArrows = SpinFixture;
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

TEST_F(SpinEdit, ValueReadsTheTextUnclampedWritingAndSteppingClampUnlessTheLimitsAreEqual)
{
    EXPECT_EQ(TSpinEdit().text(), "0");
    const std::pair<const char*, std::int32_t> cases[] = {
        {"+7", 7}, {"25", 25}, {"-15", -15}, {"", -10}, {"-", -10}, {"1.5", -10}, {"5-", -10},
        {"2147483647", kIntMax}, {"2147483648", -10},
    };
    for (const auto& [text, value] : cases) {
        spin->setText(QString::fromLatin1(text));
        EXPECT_EQ(spin->Value(), value) << '"' << text << '"';
    }
    const struct { std::int32_t min, max, written, stepsUp; const char* shown; } steps[] = {
        {-10, 20, 25, 0, "20"}, {-10, 20, -15, 0, "-10"}, {-10, 20, 19, 5, "20"},
        {0, 0, 100000, 1, "100001"}, {0, 0, -100000, 0, "-100000"},
        // Without limits a step stops at the end of the integer range.
        {0, 0, kIntMax - 1, 3, "2147483647"}, {0, 0, kIntMin, -1, "-2147483648"},
    };
    for (const auto& c : steps) {
        spin->setMinValue(c.min);
        spin->setMaxValue(c.max);
        spin->setValue(c.written);
        for (int i = 0; i < std::abs(c.stepsUp); ++i)
            c.stepsUp > 0 ? spin->UpClick(nullptr) : spin->DownClick(nullptr);
        EXPECT_EQ(spin->text(), c.shown) << c.min << ".." << c.max << " <- " << c.written;
    }
}

TEST_F(SpinEdit, TypingIsFilteredWithABeepAndLeavingClampsToTheNearerLimit)
{
    const struct { Qt::Key key; const char* text; bool accepted; } cases[] = {
        {Qt::Key_5, "5", true},      {Qt::Key_Plus, "+", true},    {Qt::Key_Minus, "-", true},
        {Qt::Key_Period, ".", true}, {Qt::Key_A, "a", false},      {Qt::Key_Space, " ", false},
        {Qt::Key_Dollar, "$", false}, {Qt::Key_Return, "\r", false}, {Qt::Key_Enter, "\r", false},
    };
    QLocale::setDefault(QLocale::c()); // "." is the decimal separator
    for (const auto& c : cases) {
        spin->setText(QStringLiteral("1"));
        enterBox();
        spin->end(false);
        changes.clear();
        const int before = beeps;
        QTest::keyClick(spin, c.key);
        EXPECT_EQ(beeps - before, c.accepted ? 0 : 1) << c.text;
        EXPECT_EQ(spin->text(), c.accepted ? "1" + QString::fromLatin1(c.text) : "1");
        EXPECT_EQ(changes.size(), c.accepted ? 1u : 0u) << c.text;
    }

    // Leaving clamps to the nearer limit and leaves unreadable text alone.
    leaveBox();
    const struct { const char* typed; std::vector<Change> changes; } typed[] = {
        {"-", {{"-", -10}}},
        {"30", {{"3", 3}, {"30", 30}, {"20", 20}}},
        {"-15", {{"-", -10}, {"-1", -1}, {"-15", -15}, {"-10", -10}}},
        {"1.5", {{"1", 1}, {"1.", -10}, {"1.5", -10}}},
    };
    for (const auto& c : typed) {
        enterBox(); // selects all: typing replaces the text
        changes.clear();
        QTest::keyClicks(spin, QString::fromLatin1(c.typed));
        leaveBox();
        EXPECT_EQ(changes, c.changes) << c.typed;
    }

    // Entered by a mouse press on the text, nothing is selected.
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(6, 12));
    ASSERT_TRUE(spin->hasFocus());
    EXPECT_EQ(spin->selectedText(), "");
}

TEST_F(SpinEdit, PasteIsUnfilteredButPasteAndCutAreRefusedWhenEditingIsOff)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const struct { bool editorEnabled, readOnly, edits; } cases[] = {{true, false, true}, {false, false, false}, {true, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "editor " << c.editorEnabled << " read-only " << c.readOnly);
        spin->setEditorEnabled(c.editorEnabled);
        spin->setReadOnly(c.readOnly);
        spin->setValue(3);
        enterBox();
        changes.clear();
        clipboard->setText(QStringLiteral("abc"));
        QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(spin->text(), c.edits ? "abc" : "3");
        clipboard->setText(QStringLiteral("xyz"));
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(spin->text(), c.edits ? "" : "3");
        EXPECT_EQ(clipboard->text(), c.edits ? "abc" : "xyz");
        EXPECT_EQ(changes.size(), c.edits ? 2u : 0u);
    }
}

TEST_F(SpinEdit, EditorDisabledRefusesEditsButStepsAndReadOnlyBeepsAtSteps)
{
    spin->setEditorEnabled(false);
    enterBox();
    spin->end(false);
    for (Qt::Key key : {Qt::Key_1, Qt::Key_Minus, Qt::Key_Backspace, Qt::Key_Period, Qt::Key_Home, Qt::Key_Delete})
        QTest::keyClick(spin, key);
    EXPECT_EQ(beeps, 4);
    QTest::keyClick(spin, Qt::Key_Up);
    QTest::mouseClick(upArrow(), Qt::LeftButton);
    EXPECT_EQ(changes, (std::vector<Change>{{"4", 4}, {"5", 5}}));
    spin->setReadOnly(true);
    QTest::mouseClick(upArrow(), Qt::LeftButton);
    spin->DownClick(nullptr);
    EXPECT_EQ(beeps, 6);
    EXPECT_EQ(spin->text(), "5");
}

TEST_F(SpinEdit, ArrowKeysStepOncePerKeyDownIncludingAutoRepeat)
{
    enterBox();
    for (int i = 0; i < 20; ++i)
        QTest::keyEvent(QTest::KeyAction::Press, spin, Qt::Key_Down, Qt::NoModifier, -1);
    EXPECT_EQ(changes.size(), 13u);
    EXPECT_EQ(changes.back(), (Change{"-10", -10}));
    // Used up by the box, not passed on to a parent that would scroll.
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(spin, &up);
    EXPECT_TRUE(up.isAccepted());
}

// Counts dark pixels (the arrows are black, the text navy) in a row of `image`.
int darkInRow(const QImage& image, int y, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x < x1; ++x)
        n += qGray(image.pixel(x, y)) < 80;
    return n;
}

TEST_F(SpinEdit, KeepsItsMinimumHeightAndDrawsTheNumberLeftOfTwoWedgeArrowsAtTheRightEdge)
{
    // Cell height h plus min(h, application font's) div 4, four 1-pixel borders, 2.
    const int h = QFontMetrics(spin->font()).height();
    const int minimum = h + std::min(h, QFontMetrics(QApplication::font()).height()) / 4 + 4 + 2;
    ASSERT_LE(minimum, 26) << "the main window's 26-pixel box must be tall enough";
    spin->resize(49, 10);
    EXPECT_EQ(spin->height(), minimum);
    spin->resize(49, 26);
    // Inside the 2-pixel frame: left = 49 - 15 - 5, height 26 - 5; the arrows overlap by one row.
    EXPECT_EQ(spin->Button()->geometry(), QRect(2 + 29, 2, 15, 21));
    EXPECT_EQ(upArrow()->geometry(), QRect(0, 0, 15, 10));
    EXPECT_EQ(downArrow()->geometry(), QRect(0, 9, 15, 12));

    spin->setText(QStringLiteral("88888888"));
    spin->home(false);
    const QImage image = spin->grab().toImage();
    const QRect pair = spin->Button()->geometry();
    // Each arrow's darkest rows form a wedge: narrow at its point, wide at its base.
    for (const auto& [arrow, wedge] : {std::pair{upArrow(), std::vector<int>{1, 3, 5, 7}},
                                       std::pair{downArrow(), std::vector<int>{7, 5, 3, 1}}}) {
        const QRect r = arrow->geometry().translated(pair.topLeft());
        std::vector<int> rows;
        for (int y = r.top() + 2; y < r.bottom() - 1; ++y)
            if (int n = darkInRow(image, y, r.left() + 2, r.right() - 1))
                rows.push_back(n);
        EXPECT_EQ(rows, wedge);
    }
    // The text is drawn, and stops before the arrows.
    int textPixels = 0;
    for (int y = 4; y < 22; ++y) {
        textPixels += darkInRow(image, y, 3, pair.left() - 1);
        EXPECT_EQ(darkInRow(image, y, pair.left() - 1, pair.left()), 0) << "row " << y;
    }
    EXPECT_GT(textPixels, 20);
}

// Typing and a held arrow's tick go through the error box (the repeat stops
// there); a value written by the program throws to its caller.
TEST_F(SpinEdit, AnErrorInOnChangeGoesToTheErrorBoxWhenTypingOrRepeatingAndToTheCallerOtherwise)
{
    spin->OnChange = [](QObject*) { throw std::runtime_error("margin refused"); };
    enterBox();
    QTest::keyClick(spin, Qt::Key_7);
    EXPECT_EQ(spin->text(), "7");
    QTest::mousePress(upArrow(), Qt::LeftButton);
    upArrow()->timerExpired();
    EXPECT_FALSE(upArrow()->repeatTimer()->isActive());
    EXPECT_EQ(spin->text(), "8");
    const QString box = desktop::errorBoxText("margin refused");
    EXPECT_EQ(errors, (QStringList{box, box}));
    QTest::mouseRelease(upArrow(), Qt::LeftButton);
    EXPECT_THROW(spin->setValue(3), std::runtime_error);
    EXPECT_EQ(spin->text(), "3");
}

TEST_F(SpinArrows, HoldingTheDownArrowRepeatsPausesOffTheArrowAndStopsAtMinusTen)
{
    TTimerSpeedButton* down = downArrow();
    const QPoint off(down->width() + 20, down->height() / 2);
    QTest::mousePress(down, Qt::LeftButton);
    QTimer* timer = down->repeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 400);
    EXPECT_EQ(spin->text(), "3") << "a press alone does not step";
    EXPECT_TRUE(spin->hasFocus()) << "the press moved the focus into the box";

    down->timerExpired();
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_EQ(spin->text(), "2");

    // Dragged off the arrow it is drawn raised and the ticks step nothing.
    QTest::mouseMove(down, off);
    EXPECT_FALSE(down->isDown());
    down->timerExpired();
    EXPECT_EQ(spin->text(), "2");
    QTest::mouseMove(down, down->rect().center());
    for (int i = 0; i < 30; ++i)
        down->timerExpired();
    EXPECT_EQ(spin->text(), "-10");
    EXPECT_EQ(changes.size(), 13u);

    QTest::mouseRelease(down, Qt::LeftButton);
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(down->hasMouseCapture());

    // The timer is kept for the next press; released off the arrow, nothing steps.
    spin->setValue(0);
    QTest::mousePress(down, Qt::LeftButton);
    EXPECT_EQ(down->repeatTimer(), timer);
    EXPECT_EQ(timer->interval(), 400);
    QTest::mouseMove(down, off);
    QTest::mouseRelease(down, Qt::LeftButton, {}, off);
    EXPECT_EQ(spin->text(), "0");

    // The real timer drives the repeat.
    QTest::mousePress(downArrow(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return spin->text() == "-10"; }, 20000));
    QTest::mouseRelease(downArrow(), Qt::LeftButton);
    EXPECT_FALSE(downArrow()->repeatTimer()->isActive());
}

TEST_F(SpinArrows, AModalWindowOpenedByThePressEndsTheHold)
{
    // A press can run another control's exit handler, which may show a message box:
    // its OK button takes the release, so the arrow must not go on stepping by itself.
    bool dialogShown = false;
    upArrow()->OnMouseDown = [&](QObject*) {
        QDialog box(&window);
        QTimer::singleShot(0, &box, &QDialog::accept);
        box.exec();
        dialogShown = true;
    };
    QTest::mousePress(upArrow(), Qt::LeftButton);
    ASSERT_TRUE(dialogShown);
    EXPECT_FALSE(upArrow()->isDown());
    EXPECT_FALSE(upArrow()->hasMouseCapture());
    EXPECT_TRUE(upArrow()->repeatTimer() == nullptr || !upArrow()->repeatTimer()->isActive());
    upArrow()->timerExpired();
    EXPECT_EQ(spin->text(), "3");
}

} // namespace

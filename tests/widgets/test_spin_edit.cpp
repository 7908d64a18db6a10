// The spin edit as a text box: reading and writing the value, the character
// filter, clamping on exit, paste and cut, the editor and read-only switches,
// and its minimum height.
#include "spin_fixture.h"

#include <QClipboard>
#include <QGuiApplication>

#include <limits>

namespace {

using SpinEdit = SpinFixture;
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

TEST_F(SpinEdit, ValueReadsTheTextUnclampedAndFallsBackToMinValue)
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
}

TEST_F(SpinEdit, WritingAndSteppingClampUnlessTheLimitsAreEqual)
{
    const struct { std::int32_t min, max, written, stepsUp; const char* shown; } cases[] = {
        {-10, 20, 25, 0, "20"}, {-10, 20, -15, 0, "-10"}, {-10, 20, 19, 5, "20"},
        {0, 0, 100000, 1, "100001"}, {0, 0, -100000, 0, "-100000"},
        // Without limits a step stops at the end of the integer range.
        {0, 0, kIntMax - 1, 3, "2147483647"}, {0, 0, kIntMin, -1, "-2147483648"},
    };
    for (const auto& c : cases) {
        spin->setMinValue(c.min);
        spin->setMaxValue(c.max);
        spin->setValue(c.written);
        for (int i = 0; i < std::abs(c.stepsUp); ++i)
            c.stepsUp > 0 ? spin->UpClick(nullptr) : spin->DownClick(nullptr);
        EXPECT_EQ(spin->text(), c.shown) << c.min << ".." << c.max << " <- " << c.written;
    }
    changes.clear();
    spin->setValue(kIntMin); // the text it already shows: nothing reported
    EXPECT_TRUE(changes.empty());
}

TEST_F(SpinEdit, CharacterFilterLetsNumbersThroughAndBeepsAtTheRest)
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
}

TEST_F(SpinEdit, ExitClampsToTheNearerLimitAndLeavesUnreadableTextAlone)
{
    const struct { const char* typed; std::vector<Change> changes; } cases[] = {
        {"-", {{"-", -10}}},
        {"30", {{"3", 3}, {"30", 30}, {"20", 20}}},
        {"-15", {{"-", -10}, {"-1", -1}, {"-15", -15}, {"-10", -10}}},
        {"1.5", {{"1", 1}, {"1.", -10}, {"1.5", -10}}},
    };
    for (const auto& c : cases) {
        enterBox(); // selects all: typing replaces the text
        changes.clear();
        QTest::keyClicks(spin, QString::fromLatin1(c.typed));
        leaveBox();
        EXPECT_EQ(changes, c.changes) << c.typed;
    }
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
    QTest::keyClick(spin, Qt::Key_Up);
    for (int i = 0; i < 20; ++i)
        QTest::keyEvent(QTest::KeyAction::Press, spin, Qt::Key_Down, Qt::NoModifier, -1);
    EXPECT_EQ(changes.size(), 1u + 14u);
    EXPECT_EQ(changes.back(), (Change{"-10", -10}));
    // Used up by the box, not passed on to a parent that would scroll.
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(spin, &up);
    EXPECT_TRUE(up.isAccepted());
}

TEST_F(SpinEdit, EnteringSelectsAllUnlessByAMousePressOnTheText)
{
    enterBox();
    EXPECT_EQ(spin->selectedText(), "3");
    leaveBox();
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(6, 12));
    ASSERT_TRUE(spin->hasFocus());
    EXPECT_EQ(spin->selectedText(), "");
}

TEST_F(SpinEdit, KeepsItsMinimumHeightAndItsArrowsAtTheRightEdge)
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
}

TEST_F(SpinEdit, AnErrorInOnChangeGoesToTheErrorBoxWhenTypingAndToTheCallerOtherwise)
{
    spin->OnChange = [](QObject*) { throw std::runtime_error("margin refused"); };
    enterBox();
    QTest::keyClick(spin, Qt::Key_7);
    EXPECT_EQ(spin->text(), "7");
    EXPECT_EQ(errors, QStringList{platform::errorBoxText("margin refused")});
    EXPECT_THROW(spin->setValue(8), std::runtime_error);
    EXPECT_EQ(spin->text(), "8");
}

} // namespace

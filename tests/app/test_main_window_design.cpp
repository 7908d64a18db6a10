// The main window as built from its design: icon, colours, fonts, labels, start
// state, tab order and scrolling. (Its caption, its being maximized and its being
// the only window shown are checked on the real program: tests/e2e/test_main_window.sh.)
#include "main_window_fixture.h"

#include "widgets/spin_edit.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>

namespace {

TEST_F(MainWindowTest, LabelsKeepTheirPlaceUnclippedAndIconColoursAndFontsAreAsDesigned)
{
    const struct { QLabel* label; const char* text; QRect design; } labels[] = {
        {w().Label1, "Move Print Position By 1:10 Inches", {296, 16, 234, 21}},
        {w().Label2, "Enter the Date", {112, 11, 90, 16}},
        {w().Label3, "Starsign", {160, 51, 52, 16}},
        {w().Label4, "Enter Name", {8, 75, 74, 16}},
        {w().Label5, "Enter Le Sentiment", {8, 123, 122, 16}},
    };
    for (const auto& l : labels) {
        SCOPED_TRACE(l.text);
        EXPECT_EQ(l.label->text(), QString::fromLatin1(l.text));
        EXPECT_EQ(l.label->font().pixelSize(), 13);
        const QFontMetrics fm(l.label->font());
        EXPECT_GE(l.label->width(), fm.horizontalAdvance(l.label->text()));
        EXPECT_GE(l.label->height(), fm.height());
        // The metric-compatible face is no wider than the design's: the box stays as designed.
        EXPECT_EQ(l.label->geometry(), l.design);
    }

    // The coin icon, built into the program (a resource that failed to link would leave
    // Qt's default icon and nothing else would notice): a picture drawn for each size,
    // the coins' black outline and their gold both there.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(w().windowIcon().availableSizes().contains(QSize(size, size)));
        const QImage image = w().windowIcon().pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        bool black = false, gold = false;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QColor c = image.pixelColor(x, y);
                black |= c.alpha() == 255 && c.red() < 40 && c.green() < 40 && c.blue() < 40;
                gold |= c.alpha() == 255 && c.red() > 220 && c.green() > 220 && c.blue() < 60;
            }
        EXPECT_TRUE(black);
        EXPECT_TRUE(gold);
    }
    EXPECT_EQ(w().palette().color(QPalette::Window), QColor(0, 0, 255));

    const struct { QWidget* control; int pixelSize; QColor colour; } fonts[] = {
        {w().MaskEdit1, 16, QColor(0, 0, 128)}, {w().Panel1, 21, QColor(255, 0, 0)},
        {w().Edit1, 13, QColor(0, 0, 128)}, // the panel's font
        {w().SpinEdit1, 13, QColor(0, 0, 128)},
    };
    for (const auto& f : fonts) {
        SCOPED_TRACE(f.control->objectName().toStdString());
        EXPECT_EQ(f.control->font().pixelSize(), f.pixelSize);
        EXPECT_TRUE(f.control->font().bold());
        EXPECT_TRUE(QFontInfo(f.control->font()).family().startsWith(QLatin1String("Liberation Sans")));
        EXPECT_EQ(f.control->palette().color(QPalette::WindowText), f.colour);
        EXPECT_EQ(f.control->palette().color(QPalette::Text), f.colour);
    }
}

TEST_F(MainWindowTest, StartStateAfterTheFirstActivationThenTabRoundTheTabStopsInDesignOrder)
{
    EXPECT_EQ(log, (Log{"FormActivate(FForm1)", "RadioGroup1Click(RadioGroup1)"}));
    EXPECT_EQ(QApplication::focusWidget(), w().MaskEdit1);
    // Selected, so that the date the user types replaces it.
    EXPECT_EQ(w().MaskEdit1->selectedText(), QStringLiteral("0101"));
    EXPECT_FALSE(w().RadioButton1->isChecked());
    EXPECT_TRUE(w().birthday().isEmpty());
    // The memo that holds the profile texts stays hidden.
    EXPECT_FALSE(w().Memo1->isVisible());
    EXPECT_FALSE(detailExists());

    const std::vector<QWidget*> expected = {
        w().RadioGroup1->item(0), w().RadioButton1, w().Edit1, w().Edit3,
        w().Button4, w().SpinEdit1, w().MaskEdit1,
    };
    for (QWidget* next : expected) {
        tab();
        ASSERT_EQ(QApplication::focusWidget(), next) << "after Tab, focus is on "
            << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "nothing");
    }
}

TEST_F(MainWindowTest, ScrollBarsOnlyWhenTheClientAreaIsSmallerThanTheContent)
{
    auto* area = w().findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    const struct { QSize client; bool horizontal, vertical; } sizes[] = {
        {{617, 369}, false, false}, {{426, 273}, true, true}, /* the restored window */ {{700, 300}, false, true},
    };
    for (const auto& s : sizes) {
        SCOPED_TRACE(std::to_string(s.client.width()) + "x" + std::to_string(s.client.height()));
        w().setWindowState(Qt::WindowNoState);
        w().resize(s.client);
        QApplication::processEvents();
        EXPECT_EQ(area->horizontalScrollBar()->isVisible(), s.horizontal);
        EXPECT_EQ(area->verticalScrollBar()->isVisible(), s.vertical);
        EXPECT_EQ(w().surface()->pos(), QPoint(0, 0));
        EXPECT_EQ(w().surface()->size(), QSize(617, 369));
    }
}

} // namespace

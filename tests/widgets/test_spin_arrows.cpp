// The spin edit's arrows: clicks, the held-down repeat (driven tick by tick,
// never by waiting), the arrow pair's own keyboard use, and what it looks like.
#include "spin_fixture.h"

#include "platform/bitmap_resources.h"

#include <QDialog>
#include <QImage>
#include <QTimer>

#include <cstdlib>

namespace {

using SpinArrows = SpinFixture;

TEST_F(SpinArrows, TenQuickClicksUpFromThreeGiveThirteen)
{
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(upArrow(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "13");
    ASSERT_EQ(changes.size(), 10u);
    EXPECT_EQ(changes.front(), (Change{"4", 4}));
    // The press moved the focus into the box (the pair itself is no tab stop).
    EXPECT_TRUE(spin->hasFocus());
    EXPECT_EQ(spin->Button()->focusPolicy(), Qt::NoFocus);

    // Past the limit the text stays "20", so nothing more is reported.
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(upArrow(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "20");
    EXPECT_EQ(changes.size(), 17u);
}

TEST_F(SpinArrows, HoldingTheDownArrowRepeatsAndStopsAtMinusTen)
{
    QTest::mousePress(downArrow(), Qt::LeftButton);
    QTimer* timer = downArrow()->repeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 400);
    EXPECT_EQ(spin->text(), "3") << "a press alone does not step";

    downArrow()->timerExpired();
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_EQ(spin->text(), "2");
    for (int i = 0; i < 30; ++i)
        downArrow()->timerExpired();
    EXPECT_EQ(spin->text(), "-10");

    QTest::mouseRelease(downArrow(), Qt::LeftButton);
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(downArrow()->isDown());
    EXPECT_EQ(changes.size(), 13u);

    // The timer is kept for the next press.
    QTest::mousePress(downArrow(), Qt::LeftButton);
    EXPECT_EQ(downArrow()->repeatTimer(), timer);
    EXPECT_EQ(timer->interval(), 400);
    QTest::mouseRelease(downArrow(), Qt::LeftButton);
}

TEST_F(SpinArrows, DraggingOffTheArrowPausesTheRepeatAndReleasingOffItClicksNothing)
{
    TTimerSpeedButton* up = upArrow();
    const QPoint off(up->width() + 20, up->height() / 2);
    QTest::mousePress(up, Qt::LeftButton);
    up->timerExpired();
    EXPECT_EQ(spin->text(), "4");

    QTest::mouseMove(up, off);
    EXPECT_FALSE(up->isDown());
    up->timerExpired();
    EXPECT_EQ(spin->text(), "4");

    QTest::mouseMove(up, up->rect().center());
    up->timerExpired();
    EXPECT_EQ(spin->text(), "5");

    QTest::mouseMove(up, off);
    QTest::mouseRelease(up, Qt::LeftButton, {}, off);
    EXPECT_EQ(spin->text(), "5");
    EXPECT_FALSE(up->repeatTimer()->isActive());
    EXPECT_FALSE(up->hasMouseCapture());
}

TEST_F(SpinArrows, AFailingRepeatStopsTheTimerAndShowsTheError)
{
    spin->OnChange = [](QObject*) { throw std::runtime_error("no margin"); };
    QTest::mousePress(upArrow(), Qt::LeftButton);
    upArrow()->timerExpired();
    EXPECT_FALSE(upArrow()->repeatTimer()->isActive());
    EXPECT_EQ(errors, (std::vector<QString>{platform::errorBoxText("no margin")}));
    EXPECT_EQ(spin->text(), "4");
    QTest::mouseRelease(upArrow(), Qt::LeftButton);
}

TEST_F(SpinArrows, AModalWindowOpenedByThePressEndsTheHold)
{
    // Moving the focus on a press can run another control's exit handler, which
    // may show a message box: its OK button takes the release, so the arrow must
    // not go on stepping by itself afterwards.
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

TEST_F(SpinArrows, ThePairAsAKeyboardTargetStepsAndDrawsItsFocusRectangle)
{
    TSpinButton* pair = spin->Button();
    int ups = 0, downs = 0;
    pair->OnUpClick = [&](QObject* sender) { EXPECT_EQ(sender, pair); ++ups; };
    pair->OnDownClick = [&](QObject* sender) { EXPECT_EQ(sender, pair); ++downs; };
    pair->setTabStop(true);
    pair->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(pair->hasFocus());
    EXPECT_EQ(pair->focusedButton(), upArrow());
    EXPECT_TRUE(upArrow()->timeBtnState() & TTimerSpeedButton::tbFocusRect);

    QTest::keyClick(pair, Qt::Key_Space);
    QTest::keyClick(pair, Qt::Key_Down);
    EXPECT_EQ(pair->focusedButton(), downArrow());
    EXPECT_FALSE(upArrow()->timeBtnState() & TTimerSpeedButton::tbFocusRect);
    EXPECT_TRUE(downArrow()->timeBtnState() & TTimerSpeedButton::tbFocusRect);
    QTest::keyClick(pair, Qt::Key_Space);
    QTest::keyClick(pair, Qt::Key_Up);
    EXPECT_EQ(ups, 2);
    EXPECT_EQ(downs, 2);

    leaveBox();
    EXPECT_FALSE(upArrow()->timeBtnState() & TTimerSpeedButton::tbFocusRect);
}

TEST_F(SpinArrows, NullGlyphsFallBackToTheNamedArrows)
{
    TSpinButton* pair = spin->Button();
    pair->setUpGlyph(QPixmap(4, 4));
    EXPECT_EQ(pair->UpGlyph().size(), QSize(4, 4));
    pair->setUpGlyph(QPixmap());
    EXPECT_EQ(pair->UpGlyph().toImage(), platform::loadBitmapResource("SpinUp").convertToFormat(
                                             pair->UpGlyph().toImage().format()));

    // The pair never gets narrower than 15.
    pair->resize(5, 30);
    EXPECT_EQ(pair->width(), 15);
}

// Counts dark pixels (the arrows are black, the text navy) in a row of `image`.
int darkInRow(const QImage& image, int y, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x < x1; ++x)
        n += qGray(image.pixel(x, y)) < 80;
    return n;
}

TEST_F(SpinArrows, RendersTheNumberLeftOfTwoWedgeArrows)
{
    spin->setText(QStringLiteral("88888888"));
    spin->home(false);
    const QImage image = spin->grab().toImage();
    if (const char* dir = std::getenv("STELLARO_SHOT_DIR"))
        image.scaled(image.size() * 8).save(QString::fromLocal8Bit(dir) + "/spin_edit.png");

    const QRect pair = spin->Button()->geometry();
    const QRect up = upArrow()->geometry().translated(pair.topLeft());
    const QRect down = downArrow()->geometry().translated(pair.topLeft());

    // Each arrow's darkest rows form a wedge: narrow at its point, wide at its base.
    std::vector<int> upRows, downRows;
    for (int y = up.top() + 2; y < up.bottom() - 1; ++y)
        if (int n = darkInRow(image, y, up.left() + 2, up.right() - 1))
            upRows.push_back(n);
    for (int y = down.top() + 2; y < down.bottom() - 1; ++y)
        if (int n = darkInRow(image, y, down.left() + 2, down.right() - 1))
            downRows.push_back(n);
    EXPECT_EQ(upRows, (std::vector<int>{1, 3, 5, 7}));
    EXPECT_EQ(downRows, (std::vector<int>{7, 5, 3, 1}));

    // The text is drawn, and stops before the arrows: the column just left of
    // them carries no text.
    int textPixels = 0;
    for (int y = 4; y < 22; ++y)
        textPixels += darkInRow(image, y, 3, pair.left() - 1);
    EXPECT_GT(textPixels, 20);
    for (int y = 4; y < 22; ++y)
        EXPECT_EQ(darkInRow(image, y, pair.left() - 1, pair.left()), 0) << "row " << y;
}

} // namespace

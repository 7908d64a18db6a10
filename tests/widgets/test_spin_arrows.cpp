// The spin edit's arrows: clicks, the held-down repeat (driven tick by tick,
// never by waiting), the arrow pair's own keyboard use, and what it looks like.
#include "spin_fixture.h"

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
}

TEST_F(SpinArrows, TheRealTimerDrivesTheRepeat)
{
    // Only that the ticks arrive and step; how fast is not this test's business.
    QTest::mousePress(downArrow(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return spin->text() == "-10"; }, 20000));
    QTest::mouseRelease(downArrow(), Qt::LeftButton);
    EXPECT_FALSE(downArrow()->repeatTimer()->isActive());
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
    std::vector<QObject*> senders;
    pair->OnDownClick = [&](QObject* sender) { senders.push_back(sender); };
    pair->setTabStop(true);
    pair->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(pair->hasFocus());
    EXPECT_TRUE(upArrow()->timeBtnState() & TTimerSpeedButton::tbFocusRect);

    QTest::keyClick(pair, Qt::Key_Space);  // the up arrow: the box steps
    QTest::keyClick(pair, Qt::Key_Down);   // focuses and clicks the down arrow
    QTest::keyClick(pair, Qt::Key_Space);
    EXPECT_EQ(spin->text(), "4");
    EXPECT_EQ(senders, (std::vector<QObject*>{pair, pair}));
    EXPECT_FALSE(upArrow()->timeBtnState() & TTimerSpeedButton::tbFocusRect);
    EXPECT_TRUE(downArrow()->timeBtnState() & TTimerSpeedButton::tbFocusRect);
    leaveBox();
    EXPECT_FALSE(downArrow()->timeBtnState() & TTimerSpeedButton::tbFocusRect);

    // A null glyph brings back the named arrow picture.
    pair->setDownGlyph(QPixmap(4, 4));
    pair->setDownGlyph(QPixmap());
    EXPECT_EQ(pair->DownGlyph().size(), QSize(9, 6));
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

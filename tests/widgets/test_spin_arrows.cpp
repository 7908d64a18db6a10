// The spin edit's arrows: clicks, the held-down repeat (driven tick by tick,
// never by waiting), and what it looks like.
#include "spin_fixture.h"

#include <QDialog>
#include <QImage>
#include <QTimer>

namespace {

using SpinArrows = SpinFixture;

TEST_F(SpinArrows, TenQuickClicksUpFromThreeGiveThirteen)
{
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(upArrow(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "13");
    ASSERT_EQ(changes.size(), 10u);
    EXPECT_EQ(changes.front(), (Change{"4", 4}));
    EXPECT_TRUE(spin->hasFocus()); // the press moved the focus into the box
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
    EXPECT_EQ(errors, QStringList{platform::errorBoxText("no margin")});
    EXPECT_EQ(spin->text(), "4");
    QTest::mouseRelease(upArrow(), Qt::LeftButton);
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

} // namespace

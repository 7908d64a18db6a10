// The windows' coin icon: every size is a picture of its own, built into the
// program (a resource that failed to link would leave the window with Qt's
// default icon and nothing else would notice).
#include "app/program_icon.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

TEST(ProgramIcon, HoldsAPictureDrawnForEachSize)
{
    const QIcon icon = app::programIcon();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        // Drawn, not blank: the coins' black outline and their gold are both there.
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
}

} // namespace
